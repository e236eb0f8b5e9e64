// SPDX-License-Identifier: GPL-3.0-or-later
#include "input/CornerPointFile.h"

#include <climits>
#include <utility>

#include "model/PanelCounts.h"

namespace panelflow {
Status ReadCornerPoints(FieldReader& fields, PanelModel& model) {
    double countI = 0.0, countJ = 0.0;
    Status status = ReadCount(fields, "NI", 1.0, "before its first field", countI);
    if (status) status = ReadCount(fields, "NJ", 1.0, "after NI", countJ);
    if (!status) return status;
    Status fits = CheckGeometryFits(countI, countJ);
    if (fits && (countI >= INT_MAX || countJ >= INT_MAX))
        fits = Status::Fail("This program counts panels only up to " + CountText(INT_MAX - 1) + " in each direction.", Fault::Memory);
    if (!fits) return fits.Retold(fields.Where() + ": " + fits.message);

    const int NI = static_cast<int>(countI), NJ = static_cast<int>(countJ);
    const int NI1 = NI + 1, NJ1 = NJ + 1;
    Array2D<double> xNode(NI1, NJ1), yNode(NI1, NJ1), zNode(NI1, NJ1);
    const long long records = static_cast<long long>(NI1) * NJ1;
    long long m = 0;
    int i = 1, j = 1;
    const auto failure = [&](const char* field) {
        const std::string ending = m == 0 ? std::string("after NJ")
                                          : "after record " + CountText(m) + " of " + CountText(records);
        return fields.Failure(std::string(field) + " of node (" + CountText(i) + ", " + CountText(j) + ")", ending);
    };
    // The index fields are not used, but they must be numbers: a field too many or too few
    // before them would otherwise shift every later record unnoticed.
    double index = 0.0;
    for (i = 1; i <= NI1; ++i) {
        for (j = 1; j <= NJ1; ++j, ++m) {
            if (!fields.ReadNumber(index)) return failure("the first index");
            if (!fields.ReadNumber(index)) return failure("the second index");
            if (!fields.ReadNumber(xNode(i, j))) return failure("the x");
            if (!fields.ReadNumber(yNode(i, j))) return failure("the y");
            if (!fields.ReadNumber(zNode(i, j))) return failure("the z");
        }
    }
    model.NI = NI;
    model.NJ = NJ;
    model.NI1 = NI1;
    model.NJ1 = NJ1;
    model.xNode = std::move(xNode);
    model.yNode = std::move(yNode);
    model.zNode = std::move(zNode);
    return Status::Ok();
}

Status ReadCornerPoints(const std::string& path, PanelModel& model) {
    FieldReader fields;
    const Status opened = fields.Open(path);
    if (!opened) return opened;
    return ReadCornerPoints(fields, model);
}

}  // namespace panelflow
