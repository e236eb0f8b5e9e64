# SPDX-License-Identifier: GPL-3.0-or-later
# Runs the window program with command lines that must end before the toolkit starts (run it
# where no display can be opened): --help prints the usage on standard output and exits with 0;
# a usage error prints one line on standard error, nothing on standard output, and exits with 2.
#   cmake -DPROGRAM=... -P WindowCommandLineTest.cmake
function(run expected_status)
  execute_process(COMMAND ${PROGRAM} ${ARGN} OUTPUT_VARIABLE output ERROR_VARIABLE errors RESULT_VARIABLE status)
  if(NOT status STREQUAL expected_status)
    message(FATAL_ERROR "panelflow ${ARGN} exited with ${status}, expected ${expected_status}: ${errors}")
  endif()
  set(output "${output}" PARENT_SCOPE)
  set(errors "${errors}" PARENT_SCOPE)
endfunction()

run(0 --help)
if(NOT output MATCHES "^Usage: panelflow " OR NOT errors STREQUAL "")
  message(FATAL_ERROR "panelflow --help printed \"${output}\" and on standard error \"${errors}\"")
endif()

foreach(arguments IN ITEMS "--bogus" "-x;sphere.BodyFoil" "notes.txt" "one.BodyFoil;two.Coords" "--help=yes")
  run(2 ${arguments})
  if(NOT output STREQUAL "" OR NOT errors MATCHES "^panelflow: [^\n]+\n$")
    message(FATAL_ERROR "panelflow ${arguments} printed \"${output}\" and on standard error \"${errors}\"; expected one line on standard error")
  endif()
endforeach()
