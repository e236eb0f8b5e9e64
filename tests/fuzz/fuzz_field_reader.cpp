// SPDX-License-Identifier: GPL-3.0-or-later
// Reads any bytes as a sequence of fields, text and number fields mixed by the first byte,
// until the reader stops; then builds the message for the stop.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "input/FieldReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const unsigned pattern = data[0];
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    panelflow::FieldReader fields(text, "fuzz.txt");
    double value = 0.0;
    for (unsigned n = 0;; ++n) {
        // Bit n mod 8 of the first byte chooses the kind of the n-th field.
        const bool ok = (pattern >> (n % 8)) & 1u ? fields.SkipTextField() : fields.ReadNumber(value);
        if (!ok) break;
        if (fields.Text().size() > panelflow::FieldReader::kMaxFieldLength) __builtin_trap();
    }
    const panelflow::Status failure = fields.Failure("the field", "here");
    if (failure.ok || failure.message.empty()) __builtin_trap();
    return 0;
}
