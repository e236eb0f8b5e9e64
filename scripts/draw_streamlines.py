# SPDX-License-Identifier: GPL-3.0-or-later
"""Draws streamlines of the flow off a body from panelflow-batch's files: the field step's .vts
(a box grid one point thick, in a plane of constant z) and the vtk step's .vtp of the panels.
VTK reads both and traces the streamlines through the grid; matplotlib draws them over Cp on the
grid, with the body's outline where the plane cuts its panels.

Usage: python3 draw_streamlines.py FLOW.vts BODY.vtp OUTPUT.png TITLE
"""

import sys

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt  # noqa: E402
import numpy  # noqa: E402
import vtk  # noqa: E402  (python3-vtk9)
from vtk.util.numpy_support import vtk_to_numpy  # noqa: E402

flow_path, body_path, output, title = sys.argv[1:5]

reader = vtk.vtkXMLStructuredGridReader()
reader.SetFileName(flow_path)
reader.Update()
grid = reader.GetOutput()
nx, ny, nz = grid.GetDimensions()
assert nz == 1, "the .vts must be one point thick in z"
points = vtk_to_numpy(grid.GetPoints().GetData()).reshape(ny, nx, 3)
cp = vtk_to_numpy(grid.GetPointData().GetArray("cp")).reshape(ny, nx)
inside = vtk_to_numpy(grid.GetPointData().GetArray("inside")).reshape(ny, nx)
z = points[0, 0, 2]

# Streamlines from a line of seeds across the box, just inside its upstream edge.
seeds = vtk.vtkLineSource()
x0, x1 = points[0, 0, 0], points[0, -1, 0]
y0, y1 = points[0, 0, 1], points[-1, 0, 1]
seeds.SetPoint1(x0 + 0.01 * (x1 - x0), y0 + 0.02 * (y1 - y0), z)
seeds.SetPoint2(x0 + 0.01 * (x1 - x0), y1 - 0.02 * (y1 - y0), z)
seeds.SetResolution(24)
tracer = vtk.vtkStreamTracer()
tracer.SetInputConnection(reader.GetOutputPort())
tracer.SetSourceConnection(seeds.GetOutputPort())
tracer.SetInputArrayToProcess(0, 0, 0, vtk.vtkDataObject.FIELD_ASSOCIATION_POINTS, "velocity")
tracer.SetIntegrationDirectionToForward()
tracer.SetIntegratorTypeToRungeKutta45()
tracer.SetInitialIntegrationStep(0.1)
tracer.SetMaximumPropagation(10.0 * (x1 - x0))
tracer.Update()
lines = tracer.GetOutput()

# The body's outline: its panels cut by the plane of the grid (a hair beside it, so that panel
# edges lying in the plane do not come out as slivers).
body = vtk.vtkXMLPolyDataReader()
body.SetFileName(body_path)
plane = vtk.vtkPlane()
plane.SetOrigin(0.0, 0.0, z + 1e-6 * (x1 - x0))
plane.SetNormal(0.0, 0.0, 1.0)
cutter = vtk.vtkCutter()
cutter.SetCutFunction(plane)
cutter.SetInputConnection(body.GetOutputPort())
cutter.Update()
outline = cutter.GetOutput()

figure, axes = plt.subplots(figsize=(9, 4.8), dpi=110)
shown = numpy.ma.masked_where(inside == 1, cp)
mesh = axes.contourf(points[:, :, 0], points[:, :, 1], shown, levels=numpy.linspace(-1, 1, 41), cmap="coolwarm",
                     extend="both")
figure.colorbar(mesh, ax=axes, label="Cp")
for c in range(lines.GetNumberOfCells()):
    ids = lines.GetCell(c).GetPointIds()
    xy = numpy.array([lines.GetPoint(ids.GetId(k))[:2] for k in range(ids.GetNumberOfIds())])
    axes.plot(xy[:, 0], xy[:, 1], color="black", linewidth=0.7)
for c in range(outline.GetNumberOfCells()):
    ids = outline.GetCell(c).GetPointIds()
    xy = numpy.array([outline.GetPoint(ids.GetId(k))[:2] for k in range(ids.GetNumberOfIds())])
    axes.plot(xy[:, 0], xy[:, 1], color="dimgray", linewidth=1.2)
axes.set_aspect("equal")
axes.set_xlim(x0, x1)
axes.set_ylim(y0, y1)
axes.set_xlabel("x")
axes.set_ylabel("y")
axes.set_title(title, fontsize=10)
figure.tight_layout()
figure.savefig(output)
