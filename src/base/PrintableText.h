#pragma once
// Texts from outside the program (file names, the fields of a file) made safe to show: a
// terminal or a message box gets no control character from them, so a name holding an escape
// sequence or a line end cannot rewrite the screen or fake a second message.

#include <string>
#include <string_view>

namespace panelflow {

// `text` with every control character (below 0x20, and DEL) shown as '?'; other bytes, UTF-8
// included, are kept as they are.
std::string PrintableText(std::string_view text);

}  // namespace panelflow
