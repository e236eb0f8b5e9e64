# SPDX-License-Identifier: GPL-3.0-or-later
# Read by ctest before it runs anything: asks the QTest program PROGRAM for its test functions
# (-functions) and adds one test per function, named PREFIX.function, on the offscreen platform
# with a time limit. A program that is missing or lists no function fails the run instead of
# adding nothing.
#   set(program ...) set(prefix ...) include(AddQtTestFunctions.cmake)
set(ENV{QT_QPA_PLATFORM} offscreen)
if(NOT EXISTS "${program}")
  message(FATAL_ERROR "${program} is not built; its tests cannot be listed")
endif()
execute_process(COMMAND "${program}" -functions
  OUTPUT_VARIABLE listed ERROR_VARIABLE errors RESULT_VARIABLE status TIMEOUT 60)
string(REGEX MATCHALL "[A-Za-z_][A-Za-z0-9_]*\\(\\)" functions "${listed}")
if(NOT status EQUAL 0 OR NOT functions)
  message(FATAL_ERROR "${program} -functions listed no test function (exit status ${status}): ${errors}")
endif()
foreach(function IN LISTS functions)
  string(REPLACE "()" "" function "${function}")
  add_test(${prefix}.${function} "${program}" ${function})
  set_tests_properties(${prefix}.${function} PROPERTIES TIMEOUT 120 ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endforeach()
