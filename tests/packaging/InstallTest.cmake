# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the build into a fresh prefix, checks that every installed part is where a desktop
# expects it, and runs the installed panelflow-batch sphere hess in a directory of its own: its
# results file must equal the golden one, and so must the installed Python module's (PYTHON: the
# system's python3, PYTHON_DIR: the module's place under the prefix; empty without a module).
#   cmake -DBUILD_DIR=... -DGOLDEN=.../sphere-4x4.Axisym.txt -DWINDOW=0|1 -DAPP_ID=...
#         [-DPYTHON=... -DPYTHON_DIR=...] -P InstallTest.cmake
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

# Runs `command` in the work directory; the results file it writes there must equal the golden one.
function(expect_golden what results)
  execute_process(COMMAND ${ARGN} WORKING_DIRECTORY "${work}" ERROR_VARIABLE errors RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    fail("${what} exited with ${status}: ${errors}")
  endif()
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${work}/${results}" "${GOLDEN}" RESULT_VARIABLE differs)
  if(differs)
    fail("the results file of ${what} differs from ${GOLDEN}")
  endif()
endfunction()

expect_golden("the installed panelflow-batch sphere hess" Axisym.txt "${prefix}/bin/panelflow-batch" sphere hess)
if(PYTHON_DIR)
  expect_golden("the installed Python module" Python.txt ${CMAKE_COMMAND} -E env "PYTHONPATH=${prefix}/${PYTHON_DIR}"
    ${PYTHON} -c "import panelflow as pf\npf.solve(pf.sphere(ni=4, nj=4), solver='dense').write_results('Python.txt')")
endif()
file(REMOVE_RECURSE "${root}")
