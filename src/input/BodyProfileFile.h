// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The body profile file (*.BodyFoil): the meridian of a body of revolution as points (x, r).
//
// Fields, in the field syntax of FieldReader.h:
//   header field 1 (text, not used), NP (whole number >= 2), header field 3 (text, not used),
//   then NP records of three fields: point number (not used: a record's place in the file
//   gives its number), x, r.
// Whatever follows the last record is not read. The points are expected to run from the nose
// to the tail (increasing x) with r >= 0 and both ends on the axis; the reader takes any finite
// numbers in file order and leaves such expectations to the user.

#include <string>

#include "base/Status.h"
#include "model/BodyProfile.h"
#include "input/FieldReader.h"

namespace panelflow {

// Reads a profile: on success profile.xI and profile.rI are allocated [0..NP] and hold points
// 1..NP (profile.ThetaJ is left alone). NJ, the count of panels around the body, is used only to
// refuse, before anything is allocated, a point count whose geometry would not fit in memory.
// On failure the status names the file and the fault, and `profile` is unchanged.
Status ReadBodyProfile(FieldReader& fields, int NJ, BodyProfile& profile);

// The same for the file at `path`.
Status ReadBodyProfile(const std::string& path, int NJ, BodyProfile& profile);

}  // namespace panelflow
