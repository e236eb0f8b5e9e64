# SPDX-License-Identifier: GPL-3.0-or-later
"""Reads the batch program's loads and flow-field files back with the tools users take them to:
the JSON with Python's json module (its keys, the 6 x 6 added masses, Lamb's coefficients only
for a body of revolution), the .vts with VTK's own XML reader (the grid, its arrays, the same
values as the .csv of the same box, a point inside the body flagged inside), and a streamline
traced through the .vts by VTK.

Usage: python3 read_loads_and_field.py PANELFLOW_BATCH EXAMPLES_DIRECTORY WORK_DIRECTORY
"""

import csv
import json
import os
import subprocess
import sys

import vtk  # python3-vtk9

batch, examples, work = sys.argv[1], sys.argv[2], sys.argv[3]
os.makedirs(work, exist_ok=True)
box = "-0.5:1.5:9,-1:1:5,-1:1:5"
subprocess.run([batch, "--ni", "16", "--nj", "16", "sphere", "hess", "loads", "s.json", "field", box, "s.vts",
                "field", box, "s.csv", "corners", os.path.join(examples, "ellipsoid-3axes.Coords"), "hess",
                "loads", "e.json"], cwd=work, check=True, stdout=subprocess.DEVNULL)

keys = ["reference_point", "free_stream", "force", "moment", "dalembert_residual", "munk_moment", "added_mass",
        "displaced_volume", "wetted_area", "displaced_inertia", "solver", "units"]
sphere = json.load(open(os.path.join(work, "s.json")))
ellipsoid = json.load(open(os.path.join(work, "e.json")))
for loads in (sphere, ellipsoid):
    assert all(key in loads for key in keys), sorted(set(keys) - set(loads))
    assert len(loads["added_mass"]) == 6 and all(len(row) == 6 for row in loads["added_mass"])
    assert all(len(loads[key]) == 3 for key in ("reference_point", "force", "moment", "munk_moment"))
assert abs(sphere["k1"] - 0.5) < 0.05 and abs(sphere["k2"] - 0.5) < 0.06, (sphere["k1"], sphere["k2"])
assert abs(sphere["added_mass"][0][0] / sphere["displaced_volume"] - sphere["k1"]) < 1e-15
assert not any(key in ellipsoid for key in ("k1", "k2", "k_prime")), "k's of a body that is no body of revolution"

reader = vtk.vtkXMLStructuredGridReader()
reader.SetFileName(os.path.join(work, "s.vts"))
reader.Update()
assert reader.GetErrorCode() == 0, "the reader reports an error"
grid = reader.GetOutput()
assert grid.GetDimensions() == (9, 5, 5), grid.GetDimensions()
data = grid.GetPointData()
for name, components in {"velocity": 3, "cp": 1, "one_minus_cp": 1, "inside": 1}.items():
    array = data.GetArray(name)
    assert array is not None and array.GetNumberOfComponents() == components, name
rows = list(csv.DictReader(open(os.path.join(work, "s.csv"), newline="")))
assert len(rows) == grid.GetNumberOfPoints() == 225
for n, row in enumerate(rows):
    assert grid.GetPoint(n) == tuple(float(row[k]) for k in "xyz"), n
    assert data.GetArray("velocity").GetTuple3(n) == tuple(float(row[k]) for k in "uvw"), n
    assert data.GetArray("cp").GetValue(n) == float(row["cp"]), n
    assert data.GetArray("inside").GetValue(n) == int(row["inside"]), n
# The centre of the sphere (0.5, 0, 0) is grid point (4, 2, 2); a corner of the box is outside.
centre = 4 + 9 * (2 + 5 * 2)
assert data.GetArray("inside").GetValue(centre) == 1 and data.GetArray("velocity").GetTuple3(centre) == (0, 0, 0)
assert data.GetArray("inside").GetValue(0) == 0

# A streamline from upstream, above the axis, passes over the sphere and leaves the box downstream.
tracer = vtk.vtkStreamTracer()
tracer.SetInputConnection(reader.GetOutputPort())
tracer.SetInputArrayToProcess(0, 0, 0, vtk.vtkDataObject.FIELD_ASSOCIATION_POINTS, "velocity")
seed = vtk.vtkPointSource()
seed.SetCenter(-0.45, 0.0, 0.6)
seed.SetNumberOfPoints(1)
seed.SetRadius(0.0)
tracer.SetSourceConnection(seed.GetOutputPort())
tracer.SetIntegrationDirectionToForward()
tracer.SetMaximumPropagation(10.0)
tracer.Update()
line = tracer.GetOutput()
points = [line.GetPoint(n) for n in range(line.GetNumberOfPoints())]
assert len(points) > 3 and max(p[0] for p in points) > 1.4, points
# Over the sphere it rises above its start and never enters the body.
assert max(p[2] for p in points) > 0.65 and min(p[2] for p in points) > 0.5, points

print("s.json, e.json: keys and added masses; s.vts: 225 points as in s.csv, read by VTK; a streamline passes")
