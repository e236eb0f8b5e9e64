// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A point or a vector in global axes: x, y, z.

#include <array>

namespace panelflow {

using Vector3 = std::array<double, 3>;

}  // namespace panelflow
