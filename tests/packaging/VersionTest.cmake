# SPDX-License-Identifier: GPL-3.0-or-later
# Runs PROGRAM --version and checks the line: "NAME VERSION", followed, when SOURCE_DIR is a git
# checkout, by " (commit <abbreviated hash>)" or the same with "-dirty", where the hash names a
# commit of the checkout (HEAD when the program was built from it; an earlier one when commits
# came after the last build).
#   cmake -DPROGRAM=... -DNAME=... -DVERSION=x.y.z -DSOURCE_DIR=... -P VersionTest.cmake
execute_process(COMMAND ${PROGRAM} --version
  OUTPUT_VARIABLE output ERROR_VARIABLE errors RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${NAME} --version exited with ${status}: ${errors}")
endif()

string(REPLACE "." "\\." pattern "^${NAME} ${VERSION}")
find_package(Git QUIET)
if(GIT_FOUND)
  execute_process(COMMAND ${GIT_EXECUTABLE} -C ${SOURCE_DIR} rev-parse HEAD
    OUTPUT_VARIABLE head OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE failed ERROR_QUIET)
endif()
if(GIT_FOUND AND NOT failed AND head)
  string(APPEND pattern " \\(commit ([0-9a-f]+)(-dirty)?\\)")
endif()
if(NOT output MATCHES "${pattern}\n$")
  message(FATAL_ERROR "${NAME} --version printed \"${output}\", expected a line matching \"${pattern}\"")
endif()
if(GIT_FOUND AND NOT failed AND head)
  execute_process(COMMAND ${GIT_EXECUTABLE} -C ${SOURCE_DIR} cat-file -e "${CMAKE_MATCH_1}^{commit}"
    RESULT_VARIABLE unknown ERROR_QUIET)
  if(unknown)
    message(FATAL_ERROR "${NAME} --version names commit ${CMAKE_MATCH_1}, which the checkout does not have")
  endif()
endif()
