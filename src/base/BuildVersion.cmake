# SPDX-License-Identifier: GPL-3.0-or-later
# Writes BuildVersion.h with the project's version and the commit of the sources, run at every
# build so that the commit is never stale. configure_file leaves the header untouched when
# nothing changed, so an unchanged checkout rebuilds nothing.
#   cmake -DSOURCE_DIR=... -DVERSION=x.y.z -DOUTPUT=.../BuildVersion.h -P BuildVersion.cmake
set(PANELFLOW_VERSION "${VERSION}")
set(PANELFLOW_COMMIT "")
find_package(Git QUIET)
if(GIT_FOUND)
  execute_process(COMMAND ${GIT_EXECUTABLE} -C "${SOURCE_DIR}" rev-parse --short=12 HEAD
    OUTPUT_VARIABLE head OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE failed ERROR_QUIET)
  if(NOT failed AND head)
    set(PANELFLOW_COMMIT "${head}")
    execute_process(COMMAND ${GIT_EXECUTABLE} --no-optional-locks -C "${SOURCE_DIR}" diff --quiet HEAD --
      RESULT_VARIABLE changed ERROR_QUIET)
    if(changed)
      string(APPEND PANELFLOW_COMMIT "-dirty")
    endif()
  endif()
endif()
configure_file("${CMAKE_CURRENT_LIST_DIR}/BuildVersion.h.in" "${OUTPUT}" @ONLY)
