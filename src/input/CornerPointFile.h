// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The corner-point file (*.Coords): the node grid of the panel model given directly.
//
// Fields, in the field syntax of FieldReader.h:
//   NI, NJ (whole numbers >= 1), then (NI + 1)(NJ + 1) node records of five fields in the order
//   i = 1..NI + 1 (outer), j = 1..NJ + 1 (inner): two index fields (not used: a record's place
//   gives its node), x, y, z.
// Whatever follows the last record is not read. The grid is expected to close (column NJ + 1
// repeating column 1), to have poles as its first and last rows and to keep the orientation of
// the generated bodies (rows towards larger x, columns turning positively about +x); the reader
// takes any finite numbers and leaves such expectations to the user.

#include <string>

#include "base/Status.h"
#include "input/FieldReader.h"
#include "model/PanelModel.h"

namespace panelflow {

// Reads a grid: on success model.NI, NJ, NI1, NJ1 are set and model.xNode, yNode, zNode are
// allocated [0..NI1] x [0..NJ1] and filled; the per-panel arrays are not touched. Counts whose
// geometry would not fit in memory are refused before anything is allocated. On failure the
// status names the file and the fault, and `model` is unchanged.
Status ReadCornerPoints(FieldReader& fields, PanelModel& model);

// The same for the file at `path`.
Status ReadCornerPoints(const std::string& path, PanelModel& model);

}  // namespace panelflow
