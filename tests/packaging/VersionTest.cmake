# Runs PROGRAM --version and checks the line: "NAME VERSION", followed, when SOURCE_DIR is a git
# checkout, by " (commit <HEAD's abbreviated hash>)" or the same with "-dirty".
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
  string(SUBSTRING "${head}" 0 12 prefix)
  string(APPEND pattern " \\(commit ${prefix}[0-9a-f]*(-dirty)?\\)")
endif()
if(NOT output MATCHES "${pattern}\n$")
  message(FATAL_ERROR "${NAME} --version printed \"${output}\", expected a line matching \"${pattern}\"")
endif()
