# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the build into a fresh prefix, checks that every installed part is where a desktop
# expects it, and runs the installed panelflow-batch sphere hess in a directory of its own: its
# results file must equal the golden one.
#   cmake -DBUILD_DIR=... -DGOLDEN=.../sphere-4x4.Axisym.txt -DWINDOW=0|1 -DAPP_ID=... -P InstallTest.cmake
string(RANDOM LENGTH 8 tag)
if(DEFINED ENV{TMPDIR})
  set(root "$ENV{TMPDIR}/panelflow-install-${tag}")
else()
  set(root "/tmp/panelflow-install-${tag}")
endif()
set(prefix "${root}/prefix")
set(work "${root}/work")
file(MAKE_DIRECTORY "${work}")

function(fail text)
  file(REMOVE_RECURSE "${root}")
  message(FATAL_ERROR "${text}")
endfunction()

execute_process(COMMAND ${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix "${prefix}"
  OUTPUT_QUIET ERROR_VARIABLE errors RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  fail("cmake --install failed (${status}): ${errors}")
endif()

set(expected
  bin/panelflow-batch
  share/man/man1/panelflow-batch.1.gz
  share/doc/panelflow/copyright
  share/doc/panelflow/changelog.gz
  share/doc/panelflow/README.md
  share/doc/panelflow/examples/sphere.BodyFoil
  share/doc/panelflow/examples/octahedron.Coords)
if(WINDOW)
  list(APPEND expected
    bin/panelflow
    share/man/man1/panelflow.1.gz
    share/applications/panelflow.desktop
    share/icons/hicolor/scalable/apps/panelflow.svg
    share/mime/packages/panelflow.xml
    share/metainfo/${APP_ID}.metainfo.xml)
endif()
foreach(file IN LISTS expected)
  if(NOT EXISTS "${prefix}/${file}")
    fail("the install has no ${file}")
  endif()
endforeach()

execute_process(COMMAND "${prefix}/bin/panelflow-batch" sphere hess
  WORKING_DIRECTORY "${work}" ERROR_VARIABLE errors RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  fail("the installed panelflow-batch sphere hess exited with ${status}: ${errors}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${work}/Axisym.txt" "${GOLDEN}" RESULT_VARIABLE differs)
if(differs)
  fail("the installed program's Axisym.txt differs from ${GOLDEN}")
endif()
file(REMOVE_RECURSE "${root}")
