// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reads the surface CSV back: the header's column names and every row's numbers, parsed with
// std::from_chars (independent of the locale).

#include <charconv>
#include <cmath>
#include <sstream>
#include <string>
#include <vector>

namespace panelflow::testing {

struct CsvTable {
    std::vector<std::string> columns;
    std::vector<std::vector<double>> rows;

    // The column's index, or -1.
    int Column(const std::string& name) const {
        for (std::size_t c = 0; c < columns.size(); ++c)
            if (columns[c] == name) return static_cast<int>(c);
        return -1;
    }
};

// A field that is not a number reads as NaN, so that a test sees it.
inline CsvTable ParseCsv(const std::string& text) {
    CsvTable table;
    std::istringstream lines(text);
    std::string line;
    bool header = true;
    while (std::getline(lines, line)) {
        std::vector<std::string> fields;
        std::string field;
        std::istringstream cells(line);
        while (std::getline(cells, field, ',')) fields.push_back(field);
        if (header) {
            table.columns = fields;
            header = false;
            continue;
        }
        std::vector<double> row;
        for (const std::string& f : fields) {
            double value = 0.0;
            const auto [end, error] = std::from_chars(f.data(), f.data() + f.size(), value);
            row.push_back(error == std::errc() && end == f.data() + f.size() ? value : std::nan(""));
        }
        table.rows.push_back(row);
    }
    return table;
}

}  // namespace panelflow::testing
