// SPDX-License-Identifier: GPL-3.0-or-later
#include "Arrays.h"

namespace py = pybind11;

namespace panelflow::python {

py::array_t<double> Vectors(const Array2D<double>& x, const Array2D<double>& y, const Array2D<double>& z, int rows,
                            int columns) {
    py::array_t<double> vectors({static_cast<py::ssize_t>(rows), static_cast<py::ssize_t>(columns), py::ssize_t{3}});
    auto out = vectors.mutable_unchecked<3>();
    for (int i = 1; i <= rows; ++i)
        for (int j = 1; j <= columns; ++j) {
            out(i - 1, j - 1, 0) = x(i, j);
            out(i - 1, j - 1, 1) = y(i, j);
            out(i - 1, j - 1, 2) = z(i, j);
        }
    return vectors;
}

py::array_t<double> Corners(const Array3D<double>& x, const Array3D<double>& y, const Array3D<double>& z, int rows,
                            int columns) {
    py::array_t<double> corners({static_cast<py::ssize_t>(rows), static_cast<py::ssize_t>(columns), py::ssize_t{4},
                                 py::ssize_t{3}});
    auto out = corners.mutable_unchecked<4>();
    for (int i = 1; i <= rows; ++i)
        for (int j = 1; j <= columns; ++j)
            for (int k = 1; k <= 4; ++k) {
                out(i - 1, j - 1, k - 1, 0) = x(i, j, k);
                out(i - 1, j - 1, k - 1, 1) = y(i, j, k);
                out(i - 1, j - 1, k - 1, 2) = z(i, j, k);
            }
    return corners;
}

}  // namespace panelflow::python
