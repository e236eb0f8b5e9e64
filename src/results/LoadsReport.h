// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The loads of a body (model/BodyLoads.h states their conventions and units) for a program and
// for a person.
//
// JSON: one object with the keys "reference_point", "free_stream", "force", "moment",
// "dalembert_residual", "munk_moment", "added_mass" (6 rows of 6, row-major: translations along
// x, y, z, then turns about the axes through the reference point), "displaced_volume",
// "wetted_area", "displaced_inertia" (Ixx, Iyy, Izz about the reference point), for a body of
// revolution "k1", "k2" and "k_prime", then "solver" and "units" (texts). Vectors are lists of
// three numbers; numbers are the shortest texts that read back as the same doubles, in every
// locale. Lines end with LF.
//
// Table: a few lines of text, six significant digits, for a terminal or a window.

#include <string>

#include "base/Status.h"
#include "model/BodyLoads.h"
#include "results/WholeFile.h"

namespace panelflow {

std::string LoadsJsonText(const BodyLoads& loads);
std::string LoadsTableText(const BodyLoads& loads);

// Replaces the file at `path` whole (WholeFile.h), respecting `guard`.
Status WriteLoadsJson(const BodyLoads& loads, const std::string& path, const WholeFileGuard& guard = {});

}  // namespace panelflow
