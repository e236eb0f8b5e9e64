// SPDX-License-Identifier: GPL-3.0-or-later
#include "results/LoadsReport.h"

#include <charconv>
#include <cmath>

#include "results/WholeFile.h"

namespace panelflow {
namespace {

constexpr const char* kUnits =
    "lengths in the body's unit L, fluid density rho = 1, U the free stream's speed; force in 1/2 rho U^2 L^2, "
    "moment and munk_moment in 1/2 rho U^2 L^3 about the reference point; added_mass in rho L^3 (translations), "
    "rho L^4 (coupling), rho L^5 (turns); displaced_inertia in rho L^5";

std::string Shortest(double value) {
    char text[32];
    return {text, std::to_chars(text, text + sizeof text, value).ptr};
}

std::string Significant(double value, int digits = 6) {
    char text[32];
    return {text, std::to_chars(text, text + sizeof text, value, std::chars_format::general, digits).ptr};
}

std::string JsonList(const double* values, int count) {
    std::string out = "[";
    for (int c = 0; c < count; ++c) out += (c ? ", " : "") + Shortest(values[c]);
    return out + "]";
}

// `text` padded with blanks to `width`.
std::string Padded(std::string text, std::size_t width) {
    if (text.size() < width) text.append(width - text.size(), ' ');
    return text;
}

// The name in a column `nameWidth` wide, then the values in columns `width` wide, with `digits`
// significant digits.
std::string TableRow(const std::string& name, const double* values, int count, std::size_t nameWidth = 22,
                     std::size_t width = 14, int digits = 6) {
    std::string row = Padded(name, nameWidth);
    for (int c = 0; c < count; ++c) row += Padded(Significant(values[c], digits) + " ", width);
    while (!row.empty() && row.back() == ' ') row.pop_back();
    return row + "\n";
}

}  // namespace

std::string LoadsJsonText(const BodyLoads& loads) {
    std::string out = "{\n";
    const auto key = [&](const char* name, const std::string& value) {
        out += "  \"";
        out += name;
        out += "\": " + value + ",\n";
    };
    key("reference_point", JsonList(loads.referencePoint.data(), 3));
    key("free_stream", JsonList(loads.freeStream.data(), 3));
    key("force", JsonList(loads.force.data(), 3));
    key("moment", JsonList(loads.moment.data(), 3));
    key("dalembert_residual", Shortest(loads.dalembertResidual));
    key("munk_moment", JsonList(loads.munkMoment.data(), 3));
    std::string rows = "[\n";
    for (int k = 0; k < 6; ++k) rows += "    " + JsonList(loads.addedMass[k].data(), 6) + (k < 5 ? ",\n" : "\n");
    key("added_mass", rows + "  ]");
    key("displaced_volume", Shortest(loads.displacedVolume));
    key("wetted_area", Shortest(loads.wettedArea));
    key("displaced_inertia", JsonList(loads.inertia.data(), 3));
    if (loads.bodyOfRevolution) {
        key("k1", Shortest(loads.k1));
        key("k2", Shortest(loads.k2));
        key("k_prime", Shortest(loads.kPrime));
    }
    // The texts hold no quote, backslash or control character.
    key("solver", "\"" + loads.solver + "\"");
    out += "  \"units\": \"";
    out += kUnits;
    out += "\"\n}\n";
    return out;
}

std::string LoadsTableText(const BodyLoads& loads) {
    std::string out = Padded("", 22) + Padded("x", 14) + Padded("y", 14) + "z\n";
    out += TableRow("free stream", loads.freeStream.data(), 3);
    out += TableRow("reference point", loads.referencePoint.data(), 3);
    out += TableRow("pressure force", loads.force.data(), 3);
    out += TableRow("pressure moment", loads.moment.data(), 3);
    out += TableRow("Munk moment", loads.munkMoment.data(), 3);
    out += "d'Alembert residual   " + Significant(loads.dalembertResidual) + "  (|force| / wetted area; 0 exactly)\n";
    out += "wetted area           " + Significant(loads.wettedArea) + "\n";
    out += "displaced volume      " + Significant(loads.displacedVolume) + "\n";
    if (loads.bodyOfRevolution)
        out += "k1, k2, k'            " + Significant(loads.k1) + ", " + Significant(loads.k2) + ", " +
               Significant(loads.kPrime) + "\n";
    out += "added masses          T: translation along, R: turn about the axis through the reference point;\n"
           "                      entries below 1e-12 of the largest are rounding, shown as 0\n";
    static constexpr const char* kMotions[6] = {"Tx", "Ty", "Tz", "Rx", "Ry", "Rz"};
    double largest = 0.0;
    for (const auto& row : loads.addedMass)
        for (double value : row) largest = std::fmax(largest, std::fabs(value));
    std::string header = Padded("", 6);
    for (const char* motion : kMotions) header += Padded(motion, 12);
    while (header.back() == ' ') header.pop_back();
    out += header + "\n";
    for (int k = 0; k < 6; ++k) {
        double row[6];
        for (int l = 0; l < 6; ++l) row[l] = std::fabs(loads.addedMass[k][l]) < 1e-12 * largest ? 0.0 : loads.addedMass[k][l];
        out += TableRow(std::string("  ") + kMotions[k], row, 6, 6, 12, 5);
    }
    out += "solver                " + loads.solver + "\n";
    out += "units: force 1/2 rho U^2 L^2, moments 1/2 rho U^2 L^3, added masses rho L^3 to rho L^5, rho = 1\n";
    return out;
}

Status WriteLoadsJson(const BodyLoads& loads, const std::string& path, const WholeFileGuard& guard) {
    return WriteWholeFile(path, LoadsJsonText(loads), "The loads file", guard);
}

}  // namespace panelflow
