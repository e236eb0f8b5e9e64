# SPDX-License-Identifier: GPL-3.0-or-later
"""The module against the batch program: the same bodies, the same numbers, the same results file
and the same messages."""

import json
import os
import resource
import signal
import subprocess
import sys
import textwrap
import time

import numpy as np
import pytest

import panelflow as pf
from conftest import EXAMPLES

# The same body in the module's and the batch program's words: (build, batch arguments).
BODIES = {
    "sphere": (lambda: pf.sphere(ni=12, nj=10), ["--ni", 12, "--nj", 10, "sphere"]),
    "profile": (lambda: pf.profile(str(EXAMPLES / "prolate-4to1.BodyFoil"), nj=12),
                ["--nj", 12, "profile", EXAMPLES / "prolate-4to1.BodyFoil"]),
    "corners": (lambda: pf.corners(str(EXAMPLES / "ellipsoid-3axes.Coords")),
                ["corners", EXAMPLES / "ellipsoid-3axes.Coords"]),
}
STREAM = (0.8, 0.3, -0.5)


@pytest.mark.parametrize("name", BODIES)
@pytest.mark.parametrize("solver, accuracy", [("auto", 1e-7), ("dense", 1e-7), ("hierarchical", 1e-4)])
def test_arrays_equal_the_batch_programs_csv(batch, name, solver, accuracy):
    build, arguments = BODIES[name]
    body = build()
    sol = pf.solve(body, stream=STREAM, solver=solver, accuracy=accuracy)
    options = ["--stream", ",".join(map(str, STREAM)), "--no-tables", "--accuracy", accuracy]
    options += ["--solver", solver] if solver != "auto" else []
    assert batch.run(*options, *arguments, "hess", "csv", "s.csv").returncode == 0
    csv = np.genfromtxt(batch.directory / "s.csv", delimiter=",", names=True)
    n = body.ni * body.nj
    # Row m - 1 of the file is panel number m = (i - 1) * NJ + j, which is [i - 1, j - 1] here.
    assert np.array_equal(csv["i"] - 1, np.repeat(np.arange(body.ni), body.nj))
    assert np.array_equal(csv["j"] - 1, np.tile(np.arange(body.nj), body.ni))
    columns = {
        ("x", "y", "z"): body.control_points, ("nx", "ny", "nz"): body.normals, ("area",): body.areas,
        ("sigma",): sol.sigma, ("one_minus_cp",): sol.one_minus_cp, ("cp",): sol.cp, ("vx", "vy", "vz"): sol.velocity,
    }
    for names, values in columns.items():
        expected = np.stack([csv[c] for c in names], axis=-1)
        np.testing.assert_array_equal(values.reshape(n, len(names)), expected, err_msg=str(names))


@pytest.mark.parametrize("name, tables", [("sphere", True), ("profile", False), ("corners", True)])
def test_write_results_is_byte_identical_to_the_batch_programs_results_file(batch, tmp_path, name, tables):
    build, arguments = BODIES[name]
    sol = pf.solve(build(), stream=STREAM, solver="dense" if tables else "auto")
    sol.write_results(str(tmp_path / "Axisym.txt"), tables=tables)
    options = ["--stream", ",".join(map(str, STREAM))] + ([] if tables else ["--no-tables"])
    assert batch.run(*options, *arguments, "hess").returncode == 0
    ours = (tmp_path / "Axisym.txt").read_bytes().split(b"\r\n")
    theirs = (batch.directory / "Axisym.txt").read_bytes().split(b"\r\n")
    for number, (a, b) in enumerate(zip(ours, theirs), 1):
        assert a == b, f"line {number} differs"
    assert len(ours) == len(theirs)


@pytest.mark.parametrize("name", ["sphere", "corners"])
def test_loads_and_field_equal_the_batch_programs_files(batch, name):
    build, arguments = BODIES[name]
    sol = pf.solve(build(), stream=STREAM)
    points = np.array([[2.0, 0.1, -0.3], [0.5, 0.8, 0.1], [0.5, 0.0, 0.0]])  # the last one inside
    (batch.directory / "points.csv").write_text("x,y,z\n" + "\n".join(",".join(map(repr, p)) for p in points) + "\n")
    options = ["--stream", ",".join(map(str, STREAM)), "--no-tables"]
    assert batch.run(*options, *arguments, "hess", "loads", "l.json", "field", "points.csv", "f.csv").returncode == 0
    theirs = json.loads((batch.directory / "l.json").read_text())
    ours = pf.loads(sol)
    assert ours.keys() == theirs.keys() and ("k1" in ours) == sol.body.is_revolution
    for key, value in theirs.items():
        assert np.array_equal(ours[key], value) if not isinstance(value, str) else ours[key] == value, key
    field = pf.field(sol, points.reshape(3, 1, 3))
    csv = np.genfromtxt(batch.directory / "f.csv", delimiter=",", names=True)
    np.testing.assert_array_equal(field["velocity"].reshape(3, 3), np.stack([csv["u"], csv["v"], csv["w"]], axis=-1))
    for key in ["cp", "one_minus_cp", "inside"]:
        np.testing.assert_array_equal(field[key].ravel(), csv[key], err_msg=key)
    assert field["inside"].tolist() == [[False], [False], [True]]


def test_bodies_from_arrays_equal_the_bodies_from_files_and_arrays_are_views():
    profile = pf.profile(str(EXAMPLES / "prolate-4to1.BodyFoil"), nj=8)
    points = np.loadtxt(EXAMPLES / "prolate-4to1.BodyFoil", delimiter=",", skiprows=1)
    revolved = pf.revolve(points[:, 1], points[:, 2], nj=8)
    corners = pf.corners(str(EXAMPLES / "ellipsoid-3axes.Coords"))
    nodes = corners.nodes
    gridded = pf.grid(nodes[..., 0], nodes[..., 1], nodes[..., 2])
    for a, b in [(profile, revolved), (corners, gridded)]:
        assert (a.ni, a.nj, a.is_revolution) == (b.ni, b.nj, b.is_revolution)
        for attribute in ["nodes", "corners", "n_corners", "control_points", "normals", "areas"]:
            np.testing.assert_array_equal(getattr(a, attribute), getattr(b, attribute), err_msg=attribute)
    assert revolved.is_revolution and not gridded.is_revolution
    sol = pf.solve(revolved)
    for view in [sol.sigma, sol.one_minus_cp, revolved.areas]:
        assert not view.flags.owndata and not view.flags.writeable
    assert np.shares_memory(sol.sigma, sol.sigma[1:])
    sigma = sol.sigma
    del sol  # the view keeps its solution alive
    assert np.isfinite(sigma).all()


def write(path, text):
    path.write_text(text)
    return str(path)


def test_bad_inputs_raise_the_batch_programs_exception_and_message(batch, tmp_path):
    bad_profile = write(tmp_path / "bad.BodyFoil", '"x", 3, "p"\n1, 0, 0\n2, 0.5, zero\n3, 1, 0\n')
    octahedron = pf.corners(str(EXAMPLES / "octahedron.Coords"))
    cases = [  # (call, exception, the batch program's arguments for the same input)
        (lambda: pf.sphere(ni=0), ValueError, ["--ni", "0", "sphere"]),
        (lambda: pf.sphere(ni=2 ** 40), ValueError, ["--ni", str(2 ** 40), "sphere"]),
        (lambda: pf.sphere(ni=200000, nj=200000), MemoryError, ["--ni", "200000", "--nj", "200000", "sphere"]),
        (lambda: pf.profile(str(tmp_path / "missing.BodyFoil")), OSError, ["profile", tmp_path / "missing.BodyFoil"]),
        (lambda: pf.profile(bad_profile), ValueError, ["profile", bad_profile]),
        (lambda: pf.corners(str(tmp_path)), OSError, ["corners", tmp_path]),
        (lambda: pf.solve(octahedron, stream=(0, 0, 0)), ValueError, ["--stream", "0,0,0", "sphere"]),
        (lambda: pf.solve(octahedron, solver="symmetric"), ValueError,
         ["--no-tables", "--solver", "symmetric", "corners", EXAMPLES / "octahedron.Coords", "hess"]),
    ]
    for call, exception, arguments in cases:
        with pytest.raises(exception) as raised:
            call()
        ours, theirs = str(raised.value), batch.message(*arguments).removeprefix("panelflow-batch: ")
        if exception is MemoryError:  # the memory usable changes from one moment to the next
            ours, theirs = (text.split("; this program may use")[0] for text in (ours, theirs))
        assert ours == theirs
    sol = pf.solve(octahedron)
    with pytest.raises(OSError, match="cannot be created"):
        sol.write_results(str(tmp_path / "no" / "Axisym.txt"))
    # A results file cut short by the file-size limit is left empty, as the batch program leaves it.
    limits = resource.getrlimit(resource.RLIMIT_FSIZE)
    resource.setrlimit(resource.RLIMIT_FSIZE, (100000, limits[1]))
    try:
        with pytest.raises(OSError, match="cannot be written: File too large"):
            pf.solve(pf.sphere(ni=16, nj=16)).write_results(str(tmp_path / "Axisym.txt"))
    finally:
        resource.setrlimit(resource.RLIMIT_FSIZE, limits)
    assert (tmp_path / "Axisym.txt").stat().st_size == 0
    with pytest.raises(ValueError, match="accuracy must be a number from 1e-12 to 0.1; it is 0.5"):
        pf.solve(octahedron, solver="hierarchical", accuracy=0.5)
    with pytest.raises(ValueError, match='unknown solver "fast"'):
        pf.solve(octahedron, solver="fast")
    with pytest.raises(ValueError, match="same length"):
        pf.revolve([0, 1], [0, 0.5, 0])
    with pytest.raises(ValueError, match=r"Point 1 of the points, \(0, nan, 0\), is not three finite numbers"):
        pf.field(sol, [[2, 0, 0], [0, np.nan, 0]])


def test_a_body_that_cannot_be_right_warns_with_the_batch_programs_words(batch, tmp_path):
    reversed_profile = write(tmp_path / "reversed.BodyFoil",
                             '"tail first", 3, "p"\n1, 1, 0\n2, 0.5, 0.5\n3, 0, 0\n')
    with pytest.warns(pf.BodyWarning) as warned:
        pf.profile(reversed_profile, nj=8)
    theirs = batch.run("--nj", 8, "profile", reversed_profile).stderr.removeprefix("panelflow-batch: warning: ")
    ours = str(warned[0].message)
    assert ours.endswith("will be wrong.") and theirs.startswith(ours)


def test_ctrl_c_during_a_long_solve_raises_keyboard_interrupt_promptly(tmp_path):
    script = textwrap.dedent("""
        import signal, sys, time
        import panelflow as pf
        signal.signal(signal.SIGINT, signal.default_int_handler)
        body = pf.sphere(ni=64, nj=64)
        started = []
        def progress(stage, fraction):
            if not started:
                started.append(time.monotonic())
                print("started", flush=True)
        try:
            sol = pf.solve(body, solver="dense", progress=progress)
        except KeyboardInterrupt:
            print("interrupted after %.2f s" % (time.monotonic() - started[0]), flush=True)
            sys.exit(0)
        print("finished", flush=True)
    """)
    child = subprocess.Popen([sys.executable, "-c", script], stdout=subprocess.PIPE, text=True)
    assert child.stdout.readline() == "started\n"
    child.send_signal(signal.SIGINT)
    out, _ = child.communicate(timeout=120)
    assert child.returncode == 0 and out.startswith("interrupted after"), out
    assert float(out.split()[2]) < 10, out


def test_write_results_and_exports_are_refused_while_another_program_writes_that_results_file(batch, tmp_path):
    sol = pf.solve(pf.sphere(ni=4, nj=4))
    running = subprocess.Popen([os.environ["PANELFLOW_BATCH"], "--ni", "64", "--nj", "64", "sphere", "hess"],
                               cwd=batch.directory, stderr=subprocess.DEVNULL)
    try:
        results = batch.directory / "Axisym.txt"
        while running.poll() is None and not (results.exists() and results.stat().st_size > 0):
            time.sleep(0.01)
        assert running.poll() is None, "the batch program ended before the test could write beside it"
        before = results.stat().st_size
        for write in [sol.write_results, sol.to_csv, sol.to_vtk]:
            with pytest.raises(OSError, match=r"Another program \(.*\) is writing the results file"):
                write(str(results))
            assert results.stat().st_size >= before
    finally:
        running.terminate()
        running.wait()
