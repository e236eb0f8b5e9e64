// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/FlowField.h"

namespace panelflow {

std::vector<Vector3> BoxGridPoints(const FieldBox& box) {
    std::vector<Vector3> points;
    points.reserve(static_cast<std::size_t>(box.count[0] * box.count[1] * box.count[2]));
    // Point n along axis d: lower + (upper - lower) n / (count - 1), exactly upper at the end.
    const auto at = [&box](int d, long n) {
        if (box.count[d] == 1) return box.lower[d];
        if (n == box.count[d] - 1) return box.upper[d];
        return box.lower[d] + (box.upper[d] - box.lower[d]) * static_cast<double>(n) / static_cast<double>(box.count[d] - 1);
    };
    for (long c = 0; c < box.count[2]; ++c)
        for (long b = 0; b < box.count[1]; ++b)
            for (long a = 0; a < box.count[0]; ++a) points.push_back({at(0, a), at(1, b), at(2, c)});
    return points;
}

}  // namespace panelflow
