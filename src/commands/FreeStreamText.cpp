// SPDX-License-Identifier: GPL-3.0-or-later
#include "commands/FreeStreamText.h"

#include <charconv>
#include <cmath>
#include <string>

#include "base/PrintableText.h"

namespace panelflow {

Status ReadFreeStream(std::string_view text, FreeStream& vinf) {
    const Status refused = Status::Fail("The free stream \"" + PrintableText(text) +
                                        "\" is not three numbers X,Y,Z, not all zero (such as 1,0,0).");
    double component[3] = {};
    const char* at = text.data();
    const char* const end = text.data() + text.size();
    for (int c = 0; c < 3; ++c) {
        if (c > 0) {
            if (at == end || *at != ',') return refused;
            ++at;
        }
        const auto [next, error] = std::from_chars(at, end, component[c]);
        if (error != std::errc() || !std::isfinite(component[c])) return refused;
        at = next;
    }
    if (at != end) return refused;
    if (component[0] == 0.0 && component[1] == 0.0 && component[2] == 0.0) return refused;
    const FreeStream read{component[0], component[1], component[2]};
    if (const Status usable = CheckFreeStream(read, std::string(text)); !usable) return usable;
    vinf = read;
    return Status::Ok();
}

}  // namespace panelflow
