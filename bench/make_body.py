#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Writes corner-point files (*.Coords) of bodies that are not bodies of revolution, at any
NI x NJ, for measuring the solvers on large meshes.

  python3 bench/make_body.py ellipsoid NI NJ PATH [--axes A,B,C]
  python3 bench/make_body.py flatbase NI NJ PATH

ellipsoid: semi-axes A (along x), B (y) and C (z), default 0.5, 0.3, 0.2 (a body of length 1 with
  axes 1 : 0.6 : 0.4); rows at equal steps of the parameter angle along x, columns at equal steps
  of the angle about x. Its exact flow is known (docs/validation.md).
flatbase: a body of length 1 whose cross-sections are ellipses with semi-axes 0.12 (y) and 0.08
  (z): a half-ellipsoid nose 0.3 long, a straight part, and a flat base at x = 1 closed by panel
  rows that run from the sharp rim to the centre of the base. Rows are spread evenly along the
  meridian (nose to rim, then rim to centre), at least one of them on the base.

The file layout is that of examples/make_examples.py; numbers are written with repr(), so the
file reads back as exactly the same doubles.
"""

import argparse
import math
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "examples"))
from make_examples import ellipsoid_nodes, write_corners  # noqa: E402


def flat_base_meridian(NI, nose=0.3, length=1.0):
    """(x, s) of the NI + 1 node rows: s scales the cross-section, 1 on the straight part."""
    def side(t):  # t in [0, 1] along the side, by the nose's parameter angle then by x
        nose_arc = nose * math.pi / 2
        total = nose_arc + (length - nose)
        at = t * total
        if at < nose_arc:
            phi = at / nose
            return nose * (1.0 - math.cos(phi)), math.sin(phi)
        return nose + (at - nose_arc), 1.0

    # Mean semi-axis 0.1: the base is about a tenth of the meridian's length.
    base_rows = max(1, round(NI * 0.1 / (nose * math.pi / 2 + length - nose + 0.1)))
    side_rows = NI - base_rows
    if side_rows < 1:
        raise SystemExit("flatbase needs NI >= 2")
    points = [side(i / side_rows) for i in range(side_rows + 1)]
    points[0] = (0.0, 0.0)
    points[-1] = (length, 1.0)
    points += [(length, 1.0 - i / base_rows) for i in range(1, base_rows + 1)]
    points[-1] = (length, 0.0)
    return points


def flat_base_nodes(NI, NJ, b=0.12, c=0.08):
    rows = []
    for x, s in flat_base_meridian(NI):
        row = []
        for j in range(NJ):
            theta = -math.pi / 2 + j * 2.0 * math.pi / NJ
            row.append((x, b * s * math.cos(theta), c * s * math.sin(theta)))
        row.append(row[0])
        rows.append(row)
    return rows


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("body", choices=["ellipsoid", "flatbase"])
    parser.add_argument("NI", type=int)
    parser.add_argument("NJ", type=int)
    parser.add_argument("path")
    parser.add_argument("--axes", default="0.5,0.3,0.2", help="ellipsoid semi-axes A,B,C")
    args = parser.parse_args()
    if args.NI < 2 or args.NJ < 3:
        parser.error("NI must be at least 2 and NJ at least 3")
    if args.body == "ellipsoid":
        a, b, c = (float(v) for v in args.axes.split(","))
        nodes = ellipsoid_nodes(args.NI, args.NJ, a, b, c)
    else:
        nodes = flat_base_nodes(args.NI, args.NJ)
    write_corners(os.path.abspath(args.path), nodes)  # an absolute path is kept as it is


if __name__ == "__main__":
    main()
