// SPDX-License-Identifier: GPL-3.0-or-later
#include "results/SurfaceExport.h"

#include <charconv>
#include <initializer_list>
#include <string_view>

#include "results/WholeFile.h"

namespace panelflow {
namespace {

void AppendShortest(std::string& out, double value) {
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, value).ptr;
    out.append(text, end);
}

void AppendWhole(std::string& out, long long value) {
    char text[24];
    const auto end = std::to_chars(text, text + sizeof text, value).ptr;
    out.append(text, end);
}

// Calls visit(i, j) for every panel in panel-number order.
template <class Visit>
void ForEachPanel(const PanelModel& model, Visit&& visit) {
    for (int i = 1; i <= model.NI; ++i)
        for (int j = 1; j <= model.NJ; ++j) visit(i, j);
}

// One cell-data array of the .vtp: `value(i, j, out)` appends the panel's components.
template <class Value>
void AppendCellArray(std::string& out, const PanelModel& model, std::string_view type, std::string_view name,
                     int components, Value&& value) {
    out += "        <DataArray type=\"";
    out += type;
    out += "\" Name=\"";
    out += name;
    out += "\" NumberOfComponents=\"";
    AppendWhole(out, components);
    out += "\" format=\"ascii\">\n";
    ForEachPanel(model, [&](int i, int j) {
        out += "          ";
        value(i, j, out);
        out += '\n';
    });
    out += "        </DataArray>\n";
}

// Appends the doubles separated by blanks.
void AppendValues(std::string& out, std::initializer_list<double> values) {
    bool first = true;
    for (double value : values) {
        if (!first) out += ' ';
        first = false;
        AppendShortest(out, value);
    }
}

}  // namespace

std::string SurfaceCsvText(const PanelModel& model, const SurfaceSolution& s) {
    std::string out(kSurfaceCsvHeader);
    out += '\n';
    ForEachPanel(model, [&](int i, int j) {
        AppendWhole(out, i);
        out += ',';
        AppendWhole(out, j);
        for (double value : {model.xC(i, j), model.yC(i, j), model.zC(i, j), model.ZtaX(i, j), model.ZtaY(i, j),
                             model.ZtaZ(i, j), model.Area(i, j), s.Sigma(i, j), s.OneMinusCp(i, j),
                             1.0 - s.OneMinusCp(i, j), s.Vx(i, j), s.Vy(i, j), s.Vz(i, j)}) {
            out += ',';
            AppendShortest(out, value);
        }
        out += '\n';
    });
    return out;
}

std::string SurfaceVtpText(const PanelModel& model, const SurfaceSolution& s) {
    long long points = 0;
    ForEachPanel(model, [&](int i, int j) { points += model.nCorner(i, j); });

    std::string out =
        "<?xml version=\"1.0\"?>\n"
        "<VTKFile type=\"PolyData\" version=\"0.1\" byte_order=\"LittleEndian\">\n"
        "  <PolyData>\n"
        "    <Piece NumberOfPoints=\"";
    AppendWhole(out, points);
    out += "\" NumberOfVerts=\"0\" NumberOfLines=\"0\" NumberOfStrips=\"0\" NumberOfPolys=\"";
    AppendWhole(out, model.PanelCount());
    out += "\">\n      <Points>\n";
    // Corner 1 first, then the others backwards: corners 1, 2, 3 turn negatively about the
    // outward normal, so this order turns positively about it.
    const auto cornerOrder = [&](int i, int j, auto&& visit) {
        const int n = model.nCorner(i, j);
        visit(1);
        for (int k = n; k >= 2; --k) visit(k);
    };
    AppendCellArray(out, model, "Float64", "corners", 3, [&](int i, int j, std::string& line) {
        bool first = true;
        cornerOrder(i, j, [&](int k) {
            if (!first) line += "  ";
            first = false;
            AppendValues(line, {model.xCorner(i, j, k), model.yCorner(i, j, k), model.zCorner(i, j, k)});
        });
    });
    out += "      </Points>\n      <Polys>\n        <DataArray type=\"Int64\" Name=\"connectivity\" format=\"ascii\">\n";
    long long next = 0;
    ForEachPanel(model, [&](int i, int j) {
        out += "         ";
        for (int k = 1; k <= model.nCorner(i, j); ++k) {
            out += ' ';
            AppendWhole(out, next++);
        }
        out += '\n';
    });
    out += "        </DataArray>\n        <DataArray type=\"Int64\" Name=\"offsets\" format=\"ascii\">\n";
    long long offset = 0;
    ForEachPanel(model, [&](int i, int j) {
        offset += model.nCorner(i, j);
        out += "          ";
        AppendWhole(out, offset);
        out += '\n';
    });
    out += "        </DataArray>\n      </Polys>\n"
           "      <CellData Scalars=\"one_minus_cp\" Vectors=\"velocity\" Normals=\"normal\">\n";
    AppendCellArray(out, model, "Int32", "i", 1, [](int i, int, std::string& line) { AppendWhole(line, i); });
    AppendCellArray(out, model, "Int32", "j", 1, [](int, int j, std::string& line) { AppendWhole(line, j); });
    const auto scalar = [&](std::string_view name, auto&& value) {
        AppendCellArray(out, model, "Float64", name, 1,
                        [&](int i, int j, std::string& line) { AppendShortest(line, value(i, j)); });
    };
    scalar("area", [&](int i, int j) { return model.Area(i, j); });
    scalar("sigma", [&](int i, int j) { return s.Sigma(i, j); });
    scalar("one_minus_cp", [&](int i, int j) { return s.OneMinusCp(i, j); });
    scalar("cp", [&](int i, int j) { return 1.0 - s.OneMinusCp(i, j); });
    AppendCellArray(out, model, "Float64", "normal", 3, [&](int i, int j, std::string& line) {
        AppendValues(line, {model.ZtaX(i, j), model.ZtaY(i, j), model.ZtaZ(i, j)});
    });
    AppendCellArray(out, model, "Float64", "velocity", 3, [&](int i, int j, std::string& line) {
        AppendValues(line, {s.Vx(i, j), s.Vy(i, j), s.Vz(i, j)});
    });
    out += "      </CellData>\n    </Piece>\n  </PolyData>\n</VTKFile>\n";
    return out;
}

Status WriteSurfaceCsv(const PanelModel& model, const SurfaceSolution& solution, const std::string& path,
                       const WholeFileGuard& guard) {
    return WriteWholeFile(path, SurfaceCsvText(model, solution), "The CSV file", guard);
}

Status WriteSurfaceVtp(const PanelModel& model, const SurfaceSolution& solution, const std::string& path,
                       const WholeFileGuard& guard) {
    return WriteWholeFile(path, SurfaceVtpText(model, solution), "The VTK file", guard);
}

}  // namespace panelflow
