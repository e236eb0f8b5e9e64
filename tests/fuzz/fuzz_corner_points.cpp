// SPDX-License-Identifier: GPL-3.0-or-later
// Reads any bytes as a corner-point file. A grid that is read must have consistent counts and
// finite nodes; a refused one must leave the model as it was.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "input/CornerPointFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    panelflow::FieldReader fields(text, "fuzz.Coords");
    panelflow::PanelModel model;
    const panelflow::Status status = panelflow::ReadCornerPoints(fields, model);
    if (!status) {
        if (status.message.empty() || model.NI != 0 || !model.xNode.empty()) __builtin_trap();
        return 0;
    }
    if (model.NI < 1 || model.NJ < 1 || model.NI1 != model.NI + 1 || model.NJ1 != model.NJ + 1) __builtin_trap();
    if (model.xNode.upper1() != model.NI1 || model.zNode.upper2() != model.NJ1) __builtin_trap();
    for (int i = 1; i <= model.NI1; ++i)
        for (int j = 1; j <= model.NJ1; ++j)
            if (!std::isfinite(model.xNode(i, j)) || !std::isfinite(model.yNode(i, j)) || !std::isfinite(model.zNode(i, j)))
                __builtin_trap();
    return 0;
}
