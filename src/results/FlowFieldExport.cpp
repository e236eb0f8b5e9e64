// SPDX-License-Identifier: GPL-3.0-or-later
#include "results/FlowFieldExport.h"

#include <charconv>

#include "results/WholeFile.h"

namespace panelflow {
namespace {

void AppendShortest(std::string& out, double value) {
    char text[32];
    out.append(text, std::to_chars(text, text + sizeof text, value).ptr);
}

// Appends the values separated by `separator`.
void AppendValues(std::string& out, const double* values, int count, char separator) {
    for (int c = 0; c < count; ++c) {
        if (c) out += separator;
        AppendShortest(out, values[c]);
    }
}

// One point-data array of the .vts: `value(p, out)` appends point p's components.
template <class Value>
void AppendPointArray(std::string& out, std::size_t points, std::string_view type, std::string_view name,
                      int components, Value&& value) {
    out += "        <DataArray type=\"";
    out += type;
    out += "\" Name=\"";
    out += name;
    out += "\" NumberOfComponents=\"" + std::to_string(components) + "\" format=\"ascii\">\n";
    for (std::size_t p = 0; p < points; ++p) {
        out += "          ";
        value(p, out);
        out += '\n';
    }
    out += "        </DataArray>\n";
}

}  // namespace

std::string FieldCsvText(const std::vector<Vector3>& points, const FieldValues& values) {
    std::string out(kFieldCsvHeader);
    out += '\n';
    for (std::size_t p = 0; p < points.size(); ++p) {
        AppendValues(out, points[p].data(), 3, ',');
        out += ',';
        AppendValues(out, values.velocity[p].data(), 3, ',');
        out += ',';
        const double pressure[2] = {values.cp[p], values.oneMinusCp[p]};
        AppendValues(out, pressure, 2, ',');
        out += values.inside[p] ? ",1\n" : ",0\n";
    }
    return out;
}

std::string FieldVtsText(const FieldBox& box, const std::vector<Vector3>& points, const FieldValues& values) {
    const std::string extent = "0 " + std::to_string(box.count[0] - 1) + " 0 " + std::to_string(box.count[1] - 1) +
                               " 0 " + std::to_string(box.count[2] - 1);
    std::string out =
        "<?xml version=\"1.0\"?>\n"
        "<VTKFile type=\"StructuredGrid\" version=\"0.1\" byte_order=\"LittleEndian\">\n"
        "  <StructuredGrid WholeExtent=\"" + extent + "\">\n"
        "    <Piece Extent=\"" + extent + "\">\n"
        "      <PointData Scalars=\"cp\" Vectors=\"velocity\">\n";
    const std::size_t n = points.size();
    AppendPointArray(out, n, "Float64", "velocity", 3,
                     [&](std::size_t p, std::string& line) { AppendValues(line, values.velocity[p].data(), 3, ' '); });
    AppendPointArray(out, n, "Float64", "cp", 1, [&](std::size_t p, std::string& line) { AppendShortest(line, values.cp[p]); });
    AppendPointArray(out, n, "Float64", "one_minus_cp", 1,
                     [&](std::size_t p, std::string& line) { AppendShortest(line, values.oneMinusCp[p]); });
    AppendPointArray(out, n, "UInt8", "inside", 1,
                     [&](std::size_t p, std::string& line) { line += values.inside[p] ? '1' : '0'; });
    out += "      </PointData>\n      <CellData>\n      </CellData>\n      <Points>\n";
    AppendPointArray(out, n, "Float64", "points", 3,
                     [&](std::size_t p, std::string& line) { AppendValues(line, points[p].data(), 3, ' '); });
    out += "      </Points>\n    </Piece>\n  </StructuredGrid>\n</VTKFile>\n";
    return out;
}

Status WriteFieldCsv(const std::vector<Vector3>& points, const FieldValues& values, const std::string& path,
                     const WholeFileGuard& guard) {
    return WriteWholeFile(path, FieldCsvText(points, values), "The CSV file", guard);
}

Status WriteFieldVts(const FieldBox& box, const std::vector<Vector3>& points, const FieldValues& values,
                     const std::string& path, const WholeFileGuard& guard) {
    return WriteWholeFile(path, FieldVtsText(box, points, values), "The VTK file", guard);
}

}  // namespace panelflow
