// SPDX-License-Identifier: GPL-3.0-or-later
// Reads the same bytes twice, as a body profile or a corner-point file (bit 0 of the first byte
// chooses): once from memory and once from a real file in which they begin just before or after
// the reader's 64 KiB block boundary, behind blanks that the field syntax skips. Both reads must
// agree in status, message and values, wherever a field is split between two blocks.

#include <fcntl.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "input/BodyProfileFile.h"
#include "input/CornerPointFile.h"

namespace {

constexpr std::size_t kBlock = 1 << 16;

const std::string& FilePath() {
    static const std::string path = [] {
        std::string pattern = "/tmp/panelflow-fuzz-XXXXXX";
        const int fd = ::mkstemp(pattern.data());
        ::close(fd);
        return pattern;
    }();
    return path;
}

void WriteWhole(const std::string& path, const std::string& bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_TRUNC);
    if (fd < 0) __builtin_trap();
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t written = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (written <= 0) __builtin_trap();
        done += static_cast<std::size_t>(written);
    }
    ::close(fd);
}

bool Same(const panelflow::Array2D<double>& a, const panelflow::Array2D<double>& b) {
    if (a.upper1() != b.upper1() || a.upper2() != b.upper2()) return false;
    for (std::ptrdiff_t i = 0; i <= a.upper1(); ++i)
        for (std::ptrdiff_t j = 0; j <= a.upper2(); ++j)
            if (a(i, j) != b(i, j)) return false;
    return true;
}

bool Same(const panelflow::Array1D<double>& a, const panelflow::Array1D<double>& b) {
    if (a.upper() != b.upper()) return false;
    for (std::ptrdiff_t n = 0; n <= a.upper(); ++n)
        if (a(n) != b(n)) return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const bool corners = data[0] & 1u;
    const std::size_t start = kBlock - 64 + (data[0] >> 1);  // 64 bytes before to 63 after the boundary
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    // A byte order mark counts only at the very start of a file, where the blanks now stand.
    if (text.substr(0, 3) == "\xEF\xBB\xBF") return 0;
    const std::string& path = FilePath();
    WriteWhole(path, std::string(start, ' ') + std::string(text));

    panelflow::FieldReader inMemory(text, path);
    panelflow::Status fromMemory, fromFile;
    if (corners) {
        panelflow::PanelModel a, b;
        fromMemory = panelflow::ReadCornerPoints(inMemory, a);
        fromFile = panelflow::ReadCornerPoints(path, b);
        if (fromMemory.ok && fromFile.ok &&
            (a.NI != b.NI || a.NJ != b.NJ || !Same(a.xNode, b.xNode) || !Same(a.yNode, b.yNode) || !Same(a.zNode, b.zNode)))
            __builtin_trap();
    } else {
        panelflow::BodyProfile a, b;
        fromMemory = panelflow::ReadBodyProfile(inMemory, 4, a);
        fromFile = panelflow::ReadBodyProfile(path, 4, b);
        if (fromMemory.ok && fromFile.ok && (!Same(a.xI, b.xI) || !Same(a.rI, b.rI))) __builtin_trap();
    }
    // A count refused for memory names the memory usable at that moment, which may change
    // between the two reads (and with it the decimals of both amounts); the messages must agree
    // up to the amounts.
    constexpr std::string_view kAmounts = ", whose ";
    const std::string_view a = fromMemory.message, b = fromFile.message;
    if (fromMemory.ok != fromFile.ok || a.substr(0, a.find(kAmounts)) != b.substr(0, b.find(kAmounts))) __builtin_trap();
    return 0;
}
