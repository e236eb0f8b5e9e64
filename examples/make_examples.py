#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Writes the example geometry files of this folder.

Profile files (*.BodyFoil): a title, the number of points NP and a column note, then one line
per point: point number, x, r. The points run from the nose to the tail (increasing x) and both
end points lie on the axis (r = 0).

Corner-point files (*.Coords): NI and NJ, then one line per node, rows i = 1..NI+1 from the
smaller to the larger x, columns j = 1..NJ+1 turning positively about +x (from -z through +y,
+z and -y back to -z): i, j, x, y, z. The first and last rows are poles and the last column
repeats the first, so the surface is closed.

Numbers are written with repr(), the shortest text that reads back as exactly the same double.

Run it from anywhere:  python3 examples/make_examples.py
To make a body of your own, call write_profile() or write_corners() with your points.
"""

import math
import os

HERE = os.path.dirname(os.path.abspath(__file__))


def number(value):
    text = repr(float(value))
    return "0" if text in ("0.0", "-0.0") else text


def write_profile(name, title, points):
    """points: list of (x, r) from the nose to the tail."""
    with open(os.path.join(HERE, name), "w", newline="\n") as out:
        out.write('"%s", %d, "point, x, r"\n' % (title, len(points)))
        for n, (x, r) in enumerate(points, start=1):
            out.write("%d, %s, %s\n" % (n, number(x), number(r)))


def write_corners(name, nodes):
    """nodes: list of node rows, each a list of (x, y, z) for j = 1..NJ+1."""
    NI = len(nodes) - 1
    NJ = len(nodes[0]) - 1
    with open(os.path.join(HERE, name), "w", newline="\n") as out:
        out.write("%d, %d\n" % (NI, NJ))
        for i, row in enumerate(nodes, start=1):
            for j, (x, y, z) in enumerate(row, start=1):
                out.write("%d, %d, %s, %s, %s\n" % (i, j, number(x), number(y), number(z)))


def sphere_profile(NI):
    """The program's own sphere of diameter 1: NI + 1 points equally spaced in angle."""
    pi = 4.0 * math.atan(1.0)
    step = pi / NI
    points = []
    for i in range(1, NI + 2):
        phi = pi - (i - 1) * step
        points.append(((math.cos(phi) + 1.0) * 0.5, math.sin(phi) * 0.5))
    return points


def ellipse_profile(NI, a, b):
    """Half an ellipse with semi-axes a along x and b across, from (0, 0) to (2a, 0): points at
    equal steps of the parameter angle, which spaces them closely near the nose and the tail
    where the contour turns fastest. The end radii are exactly 0."""
    points = []
    for i in range(NI + 1):
        phi = math.pi - i * math.pi / NI
        r = 0.0 if i in (0, NI) else b * math.sin(phi)
        points.append((a * (1.0 + math.cos(phi)), r))
    return points


def ellipsoid_nodes(NI, NJ, a, b, c):
    """Ellipsoid with semi-axes a (x), b (y), c (z), from x = 0 to x = 2a, its rows at equal
    steps of the parameter angle along x, its columns at equal steps of the angle about x."""
    rows = []
    for i in range(NI + 1):
        phi = math.pi - i * math.pi / NI
        x = a * (1.0 + math.cos(phi))
        s = 0.0 if i in (0, NI) else math.sin(phi)
        row = []
        for j in range(NJ):
            theta = -math.pi / 2 + j * 2.0 * math.pi / NJ
            row.append((x, b * s * math.cos(theta), c * s * math.sin(theta)))
        row.append(row[0])  # the last column repeats the first exactly
        rows.append(row)
    return rows


def main():
    write_profile("sphere.BodyFoil", "Sphere of diameter 1, 4 panel rows", sphere_profile(4))
    write_profile("sphere-32.BodyFoil", "Sphere of diameter 1, 32 panel rows", sphere_profile(32))
    write_profile("prolate-4to1.BodyFoil", "Prolate spheroid 4:1, length 1", ellipse_profile(32, 0.5, 0.125))
    write_corners("ellipsoid-3axes.Coords", ellipsoid_nodes(21, 24, 0.5, 0.25, 0.125))


if __name__ == "__main__":
    main()
