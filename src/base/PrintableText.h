// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Texts from outside the program (file names, step names, option texts, the fields of a file, the
// name of another process) made safe to show. Every such text goes through PrintableText before
// it becomes part of a message, so that a terminal or a message box gets no control character
// from it: a name holding an escape sequence or a line end cannot rewrite the screen or fake a
// second message, and bytes that are no UTF-8 cannot garble the rest of the line.

#include <cstddef>
#include <string>
#include <string_view>

namespace panelflow {

// The longest text shown whole, in characters; a field of a file is shown shorter.
inline constexpr std::size_t kLongestShownText = 160;

// `text` as it may be shown:
// - a line feed, carriage return or tab as \n, \r, \t; another control character (below 0x20,
//   DEL, and U+0080 to U+009F) as \x1B or \u009B;
// - each byte that is not part of well-formed UTF-8 as \xFF;
// - characters that are invisible but move or hide text (the byte-order mark U+FEFF, the line and
//   paragraph separators, the marks and overrides of writing direction) as \uFEFF and so on;
// - other characters as they are.
// A text of more than `longest` characters keeps its first two thirds and its last third of
// them, joined by "…", so that a path still shows the file's name.
std::string PrintableText(std::string_view text, std::size_t longest = kLongestShownText);

}  // namespace panelflow
