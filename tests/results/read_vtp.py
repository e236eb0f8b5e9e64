# SPDX-License-Identifier: GPL-3.0-or-later
"""Reads the batch program's .vtp back with VTK's own XML reader and checks it against the CSV of
the same run: one polygon per panel, the cell arrays and their values, each polygon turning
positively about its outward normal, and the polygon areas against the area column.

Usage: python3 read_vtp.py PANELFLOW_BATCH WORK_DIRECTORY
Fails (exit 1) when VTK's Python module cannot be imported: the dependency script installs it.
"""

import csv
import os
import subprocess
import sys

import vtk  # python3-vtk9

batch, work = sys.argv[1], sys.argv[2]
os.makedirs(work, exist_ok=True)
subprocess.run([batch, "--ni", "16", "--nj", "16", "sphere", "hess", "csv", "s.csv", "vtk", "s.vtp"],
               cwd=work, check=True)

reader = vtk.vtkXMLPolyDataReader()
reader.SetFileName(os.path.join(work, "s.vtp"))
reader.Update()
assert reader.GetErrorCode() == 0, "the reader reports an error"
data = reader.GetOutput()
rows = list(csv.DictReader(open(os.path.join(work, "s.csv"), newline="")))
assert data.GetNumberOfCells() == 256 == len(rows), (data.GetNumberOfCells(), len(rows))
assert data.GetNumberOfPolys() == 256

cells = data.GetCellData()
components = {"i": 1, "j": 1, "area": 1, "sigma": 1, "one_minus_cp": 1, "cp": 1, "normal": 3, "velocity": 3}
for name, count in components.items():
    array = cells.GetArray(name)
    assert array is not None, "no cell array " + name
    assert array.GetNumberOfTuples() == 256 and array.GetNumberOfComponents() == count, name

for n, row in enumerate(rows):
    for name in ("i", "j", "area", "sigma", "one_minus_cp", "cp"):
        assert cells.GetArray(name).GetValue(n) == float(row[name]), (name, n)
    assert cells.GetArray("normal").GetTuple3(n) == tuple(float(row[k]) for k in ("nx", "ny", "nz")), n
    assert cells.GetArray("velocity").GetTuple3(n) == tuple(float(row[k]) for k in ("vx", "vy", "vz")), n
    polygon = data.GetCell(n)
    normal = [0.0, 0.0, 0.0]
    vtk.vtkPolygon.ComputeNormal(polygon.GetPoints(), normal)
    outward = sum(a * b for a, b in zip(normal, cells.GetArray("normal").GetTuple3(n)))
    assert outward > 0.999, ("polygon turns the wrong way", n, outward)
    corners = [polygon.GetPoints().GetPoint(k) for k in range(polygon.GetNumberOfPoints())]
    twice = [0.0, 0.0, 0.0]
    for k in range(1, len(corners) - 1):
        a = [corners[k][c] - corners[0][c] for c in range(3)]
        b = [corners[k + 1][c] - corners[0][c] for c in range(3)]
        twice = [twice[0] + a[1] * b[2] - a[2] * b[1], twice[1] + a[2] * b[0] - a[0] * b[2],
                 twice[2] + a[0] * b[1] - a[1] * b[0]]
    area = 0.5 * sum(t * t for t in twice) ** 0.5
    assert abs(area - float(row["area"])) <= 1e-12, ("area", n, area, row["area"])

print("s.vtp: 256 polygons, arrays and values as in s.csv")
