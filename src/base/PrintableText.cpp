// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/PrintableText.h"

namespace panelflow {
namespace {

constexpr char kHex[] = "0123456789ABCDEF";

// One character of the text: its bytes, and its code point (-1 for a byte that is not UTF-8).
struct Character {
    std::size_t start, size;
    long code;
};

// The well-formed UTF-8 sequence at `at` (no overlong form, no surrogate, at most U+10FFFF), or a
// single byte with code -1.
Character Decode(std::string_view text, std::size_t at) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[at + k]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80) return {at, 1, lead};
    std::size_t size = 0;
    long code = 0, least = 0;
    if (lead >= 0xC2 && lead <= 0xDF) size = 2, code = lead & 0x1F, least = 0x80;
    else if (lead >= 0xE0 && lead <= 0xEF) size = 3, code = lead & 0x0F, least = 0x800;
    else if (lead >= 0xF0 && lead <= 0xF4) size = 4, code = lead & 0x07, least = 0x10000;
    if (size == 0 || at + size > text.size()) return {at, 1, -1};
    for (std::size_t k = 1; k < size; ++k) {
        if ((byte(k) & 0xC0) != 0x80) return {at, 1, -1};
        code = (code << 6) | (byte(k) & 0x3F);
    }
    if (code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return {at, 1, -1};
    return {at, size, code};
}

// Invisible characters that move or hide the text around them.
bool IsInvisibleLayout(long code) {
    return code == 0xFEFF || code == 0x200E || code == 0x200F || code == 0x2028 || code == 0x2029 ||
           (code >= 0x202A && code <= 0x202E) || (code >= 0x2066 && code <= 0x2069);
}

void AppendShown(std::string& out, std::string_view text, const Character& c) {
    if (c.code < 0) {
        const auto byte = static_cast<unsigned char>(text[c.start]);
        out += "\\x";
        out += kHex[byte >> 4];
        out += kHex[byte & 0xF];
    } else if (c.code == '\n') {
        out += "\\n";
    } else if (c.code == '\r') {
        out += "\\r";
    } else if (c.code == '\t') {
        out += "\\t";
    } else if (c.code < 0x20 || c.code == 0x7F) {
        out += "\\x";
        out += kHex[c.code >> 4];
        out += kHex[c.code & 0xF];
    } else if ((c.code >= 0x80 && c.code <= 0x9F) || IsInvisibleLayout(c.code)) {
        out += "\\u";
        for (int shift = 12; shift >= 0; shift -= 4) out += kHex[(c.code >> shift) & 0xF];
    } else {
        out.append(text.substr(c.start, c.size));
    }
}

}  // namespace

std::string PrintableText(std::string_view text, std::size_t longest) {
    std::size_t count = 0;
    for (std::size_t at = 0; at < text.size(); at += Decode(text, at).size) ++count;
    const bool cut = count > longest;
    const std::size_t tail = cut ? longest / 3 : 0;
    const std::size_t head = cut ? longest - tail : count;
    std::string shown;
    std::size_t index = 0;
    for (std::size_t at = 0; at < text.size(); ++index) {
        const Character c = Decode(text, at);
        if (index < head || index >= count - tail) AppendShown(shown, text, c);
        if (cut && index + 1 == head) shown += "\u2026";
        at += c.size;
    }
    return shown;
}

}  // namespace panelflow
