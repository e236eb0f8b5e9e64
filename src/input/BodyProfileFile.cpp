// SPDX-License-Identifier: GPL-3.0-or-later
#include "input/BodyProfileFile.h"

#include <climits>
#include <utility>

#include "model/PanelCounts.h"

namespace panelflow {
namespace {

// Where the data stopped when record n is incomplete.
std::string AfterRecord(long long n, long long NP) {
    if (n == 1) return "after the header";
    return "after record " + CountText(n - 1) + " of " + CountText(NP);
}

}  // namespace

Status ReadBodyProfile(FieldReader& fields, int NJ, BodyProfile& profile) {
    if (!fields.SkipTextField()) return fields.Failure("the first header field", "before its first field");
    double count = 0.0;
    const Status counted = ReadCount(fields, "NP", 2.0, "after the first header field", count);
    if (!counted) return counted;
    // The grid would have NP - 1 panel rows; refuse before allocating for them.
    Status fits = CheckGeometryFits(count - 1.0, NJ);
    if (fits && count > INT_MAX) fits = Status::Fail("This program counts points only up to " + CountText(INT_MAX) + ".", Fault::Memory);
    if (!fits) return fits.Retold(fields.Where() + ": NP = " + std::string(fields.Text()) + " points are too many. " + fits.message);
    const long long NP = static_cast<long long>(count);
    if (!fields.SkipTextField()) return fields.Failure("the third header field", "after NP");

    Array1D<double> xI(NP), rI(NP);
    long long n = 1;
    const auto failure = [&](const char* field) {
        return fields.Failure(std::string(field) + " of point " + CountText(n), AfterRecord(n, NP));
    };
    // The point number is not used, but it must be a number: a field too many or too few
    // before it would otherwise shift every later record unnoticed.
    double pointNumber = 0.0;
    for (; n <= NP; ++n) {
        if (!fields.ReadNumber(pointNumber)) return failure("the point number");
        if (!fields.ReadNumber(xI(n))) return failure("the x");
        if (!fields.ReadNumber(rI(n))) return failure("the r");
    }
    profile.xI = std::move(xI);
    profile.rI = std::move(rI);
    return Status::Ok();
}

Status ReadBodyProfile(const std::string& path, int NJ, BodyProfile& profile) {
    FieldReader fields;
    const Status opened = fields.Open(path);
    if (!opened) return opened;
    return ReadBodyProfile(fields, NJ, profile);
}

}  // namespace panelflow
