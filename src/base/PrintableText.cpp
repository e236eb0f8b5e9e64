#include "base/PrintableText.h"

namespace panelflow {

std::string PrintableText(std::string_view text) {
    std::string shown(text);
    for (char& c : shown) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) c = '?';
    }
    return shown;
}

}  // namespace panelflow
