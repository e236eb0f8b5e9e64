#include "model/PanelCounts.h"

#include <charconv>
#include <cmath>

#include "base/LeadingNumber.h"
#include "base/NumberText.h"
#include "base/PrintableText.h"
#include "base/ProcessLimits.h"

namespace panelflow {
namespace {

std::string Number(double value) {
    char buffer[400];  // room for the 309 digits of the largest double in fixed notation
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed).ptr;
    return std::string(buffer, end);
}

// Bytes in gigabytes with one decimal, or in megabytes below a tenth of a gigabyte.
std::string MemoryText(double bytes) {
    if (bytes >= 1e8) return GigabytesText(bytes);
    std::string text;
    AppendFixed(text, bytes / 1e6, 1);
    return text + " MB";
}

}  // namespace

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

std::string GigabytesText(double bytes) {
    std::string text;
    AppendFixed(text, bytes / 1e9, 1);
    return text + " GB";
}

Status OutOfMemory(std::string_view what, double bytes) {
    return Status::Fail(std::string(what) + " needs " + MemoryText(bytes) +
                        " of memory, which this program cannot have now; nothing was changed.");
}

Status CheckGeometryFits(double NI, double NJ) {
    const double needed = PanelModelBytes(NI, NJ);
    const MemoryLimit usable = UsableMemory();
    if (needed <= 0.5 * usable.bytes) return Status::Ok();
    return Status::Fail("NI = " + Number(NI) + " and NJ = " + Number(NJ) + " give " + Number(NI * NJ) +
                        " panels, whose geometry needs " + MemoryText(needed) + " of memory; this program may use " +
                        MemoryText(usable.bytes) + " now (" + usable.what + ").");
}

Status CheckProblemFits(double NI, double NJ, double needed, std::string_view what) {
    const MemoryLimit usable = UsableMemory();
    // Leave room for the program, the panel arrays and the system itself.
    if (needed <= 0.9 * usable.bytes) return Status::Ok();
    return Status::Fail("NI = " + Number(NI) + " and NJ = " + Number(NJ) + " give " + Number(NI * NJ) +
                        " panels, whose " + std::string(what) + " need " + MemoryText(needed) +
                        " of memory; this program may use " + MemoryText(usable.bytes) + " now (" +
                        usable.what + ").");
}

Status CheckProblemFits(double NI, double NJ) {
    return CheckProblemFits(NI, NJ, InfluenceMatrixBytes(NI, NJ), "influence matrices");
}

}  // namespace panelflow
