// SPDX-License-Identifier: GPL-3.0-or-later
// Reads any bytes as a body profile file. A profile that is read must hold NP >= 2 finite points;
// a refused one must leave the profile as it was.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "input/BodyProfileFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    panelflow::FieldReader fields(text, "fuzz.BodyFoil");
    panelflow::BodyProfile profile;
    const panelflow::Status status = panelflow::ReadBodyProfile(fields, 4, profile);
    if (!status) {
        if (status.message.empty() || !profile.xI.empty()) __builtin_trap();
        return 0;
    }
    const std::ptrdiff_t NP = profile.xI.upper();
    if (NP < 2 || profile.rI.upper() != NP) __builtin_trap();
    for (std::ptrdiff_t n = 1; n <= NP; ++n)
        if (!std::isfinite(profile.xI(n)) || !std::isfinite(profile.rI(n))) __builtin_trap();
    return 0;
}
