// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/PanelCounts.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "base/LeadingNumber.h"
#include "base/NumberText.h"
#include "base/PrintableText.h"
#include "base/ProcessLimits.h"

namespace panelflow {
namespace {

// A count as a whole number; beyond 16 digits, where a double no longer holds every whole
// number, in the shortest exponent form ("1e+308") rather than all of its digits.
std::string Number(double value) {
    char buffer[32];
    const auto format = std::fabs(value) < 1e16 ? std::chars_format::fixed : std::chars_format::scientific;
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value, format).ptr;
    return std::string(buffer, end);
}

// "NI = … give … panels, whose <what> <needed> of memory; this program may use <usable> now
// (<limit>)", the two amounts in one unit with as many decimals (up to three) as it takes to tell
// them apart. When less is needed than may be used, adds which `share` of it the work may take.
Status DoesNotFit(double NI, double NJ, std::string_view what, double needed, const MemoryLimit& usable,
                  std::string_view share) {
    std::string neededText, usableText;
    for (int decimals = 1; decimals <= 3 && neededText == usableText; ++decimals) {
        neededText = MemoryText(needed, decimals, std::max(needed, usable.bytes));
        usableText = MemoryText(usable.bytes, decimals, std::max(needed, usable.bytes));
    }
    std::string message = "NI = " + Number(NI) + " and NJ = " + Number(NJ) + " give " + Number(NI * NJ) +
                          " panels, whose " + std::string(what) + " " + neededText +
                          " of memory; this program may use " + usableText + " now (" + usable.what + ")";
    if (needed <= usable.bytes) message += ", of which " + std::string(share);
    return Status::Fail(message + ".", Fault::Memory);
}

}  // namespace

std::string MemoryText(double bytes, int decimals, double unit) {
    const bool gigabytes = (unit > 0.0 ? unit : bytes) >= 1e8;
    std::string text;
    AppendFixed(text, bytes / (gigabytes ? 1e9 : 1e6), decimals);
    return text + (gigabytes ? " GB" : " MB");
}

Status ReadPanelCount(std::string_view text, std::string_view name, int& count) {
    const double value = LeadingNumber(text);
    const bool whole = value >= 1.0 && value == std::floor(value);
    if (!whole || value > kLargestCount) {
        std::string message(name);
        message += whole ? " can be at most " + Number(kLargestCount) : std::string(" must be a whole number of at least 1");
        message += "; the text \"";
        message += PrintableText(text);
        message += "\" gives ";
        message += std::isfinite(value) ? Number(value) : std::string("no usable number");
        message += '.';
        return Status::Fail(message);
    }
    count = static_cast<int>(value);
    return Status::Ok();
}

double InfluenceMatrixBytes(double NI, double NJ) {
    const double N = NI * NJ;
    return 3.0 * 8.0 * (N + 1.0) * (N + 2.0);
}

double PanelModelBytes(double NI, double NJ) {
    // Three node arrays, 27 per-panel arrays and 20 corner values per panel.
    return 8.0 * (3.0 * (NI + 2.0) * (NJ + 2.0) + 47.0 * (NI + 1.0) * (NJ + 1.0) + 20.0 * (NI + 2.0) * (NJ + 2.0));
}

Status OutOfMemory(std::string_view what, double bytes) {
    return Status::Fail(std::string(what) + " needs " + MemoryText(bytes) +
                        " of memory, which this program cannot have now; nothing was changed.",
                        Fault::Memory);
}

Status CheckGeometryFits(double NI, double NJ) {
    const double needed = PanelModelBytes(NI, NJ);
    const MemoryLimit usable = UsableMemory();
    // Leave room for the solution.
    if (needed <= 0.5 * usable.bytes) return Status::Ok();
    return DoesNotFit(NI, NJ, "geometry needs", needed, usable, "the geometry may take half");
}

Status CheckProblemFits(double NI, double NJ, double needed, std::string_view what) {
    const MemoryLimit usable = UsableMemory();
    // Leave room for the program, the panel arrays and the system itself.
    if (needed <= 0.9 * usable.bytes) return Status::Ok();
    return DoesNotFit(NI, NJ, std::string(what) + " need", needed, usable, "they may take nine tenths");
}

Status CheckProblemFits(double NI, double NJ) {
    return CheckProblemFits(NI, NJ, InfluenceMatrixBytes(NI, NJ), "influence matrices");
}

}  // namespace panelflow
