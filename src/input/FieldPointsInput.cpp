// SPDX-License-Identifier: GPL-3.0-or-later
#include "input/FieldPointsInput.h"

#include <charconv>
#include <cmath>

#include "base/PrintableText.h"
#include "input/FieldReader.h"

namespace panelflow {
namespace {

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

// The parts of `text` between `separator`s.
std::vector<std::string_view> Split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    for (std::size_t start = 0;;) {
        const std::size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
        if (end == std::string_view::npos) return parts;
        start = end + 1;
    }
}

// The whole of `text` as a finite decimal number (a leading + allowed).
bool ReadDecimal(std::string_view text, double& value) {
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
        if (text.empty() || text.front() == '-') return false;
    }
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::general);
    return error == std::errc() && end == text.data() + text.size() && std::isfinite(value);
}

bool ReadWhole(std::string_view text, long& value) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size();
}

std::string Quoted(std::string_view text) {
    std::string quoted(1, '"');
    quoted += PrintableText(text);
    return quoted += '"';
}

}  // namespace

Status ReadFieldBox(std::string_view text, FieldBox& box) {
    const std::string what = "The box " + Quoted(text);
    const auto fail = [&](const std::string& problem) { return Status::Fail(what + ": " + problem); };
    const std::vector<std::string_view> axes = Split(text, ',');
    if (axes.size() != 3)
        return fail("a box is X0:X1:NX,Y0:Y1:NY,Z0:Z1:NZ, three parts separated by commas; this has " +
                    std::to_string(axes.size()) + ".");
    FieldBox read;
    for (int d = 0; d < 3; ++d) {
        const std::string axis(1, "XYZ"[d]);
        const std::vector<std::string_view> part = Split(axes[d], ':');
        if (part.size() != 3)
            return fail("its " + axis + " part " + Quoted(Trimmed(axes[d])) + " must be " + axis + "0:" + axis + "1:N" +
                        axis + ", two ends and a count separated by colons.");
        for (int end = 0; end < 2; ++end) {
            const std::string_view number = Trimmed(part[end]);
            double& value = end == 0 ? read.lower[d] : read.upper[d];
            if (!ReadDecimal(number, value))
                return fail(axis + std::to_string(end) + " is " + Quoted(number) + ", which is not a finite decimal number.");
        }
        const std::string_view count = Trimmed(part[2]);
        if (!ReadWhole(count, read.count[d]) || read.count[d] < 1 || read.count[d] > kLargestBoxCount)
            return fail("N" + axis + " must be a whole number from 1 to " + std::to_string(kLargestBoxCount) + "; it is " +
                        Quoted(count) + ".");
        if (read.upper[d] < read.lower[d]) return fail(axis + "1 must not be below " + axis + "0.");
        if (read.count[d] == 1 && read.upper[d] != read.lower[d])
            return fail("N" + axis + " is 1, so " + axis + "0 and " + axis + "1 must be equal.");
    }
    box = read;
    return Status::Ok();
}

Status ReadFieldPointsFile(const std::string& path, std::vector<Vector3>& points) {
    FieldReader fields;
    if (const Status opened = fields.Open(path); !opened) return opened;
    const std::string name = PrintableText(path);

    static constexpr const char* kHeader[3] = {"x", "y", "z"};
    for (int c = 0; c < 3; ++c) {
        if (!fields.SkipTextField()) return fields.Failure("the header x,y,z", "before the header's end");
        std::string_view text = fields.Text();
        const bool matches = text.size() == 1 && (text[0] == kHeader[c][0] || text[0] == kHeader[c][0] - 'a' + 'A');
        if (!matches || fields.Line() != 1)
            return Status::Fail(fields.Where() + ": the first line must be the header x,y,z; found " + Quoted(text) +
                                " as its " + kHeader[c] + ".");
    }

    std::vector<Vector3> read;
    long long lastLine = 1;
    for (;;) {
        const std::string point = "point " + std::to_string(read.size() + 1);
        Vector3 p{};
        if (!fields.ReadNumber(p[0])) {
            if (fields.Ended()) break;
            return fields.Failure("the x of " + point, "");
        }
        if (fields.Line() == lastLine)
            return Status::Fail(fields.Where() + ": a point's line holds three numbers, x,y,z; this line has more.");
        const long long line = fields.Line();
        for (int c = 1; c < 3; ++c) {
            const std::string what = std::string("the ") + kHeader[c] + " of " + point;
            if (!fields.ReadNumber(p[c])) return fields.Failure(what, "within " + point);
            if (fields.Line() != line)
                return Status::Fail(name + ", line " + std::to_string(line) + ": " + what +
                                    " is missing; a point's line holds three numbers, x,y,z.");
        }
        read.push_back(p);
        lastLine = line;
    }
    if (read.empty()) return Status::Fail(name + " holds no points after its header.");
    points = std::move(read);
    return Status::Ok();
}

}  // namespace panelflow
