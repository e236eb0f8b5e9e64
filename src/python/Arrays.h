// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Internal to the Python module: the model's arrays as NumPy arrays, 0-based.
//
// The model keeps per-panel values in [0..NI] x [0..NJ] arrays whose row and column 0 are unused
// (1-based, as the results file numbers panels). Python sees panel (i, j) of the file at [i - 1,
// j - 1]. A single array is handed over as a read-only view of the model's own storage, without a
// copy: shape (NI, NJ), strides of the full rows; `owner` (the Python object that holds the model)
// is kept alive by the view. Three arrays that form a vector (x, y, z) are not adjacent in memory,
// so their (NI, NJ, 3) array is a copy.

#include <pybind11/numpy.h>

#include "base/Array.h"

namespace panelflow::python {

// Read-only view of values(1..rows, 1..columns).
template <class T>
pybind11::array_t<T> View(const Array2D<T>& values, int rows, int columns, pybind11::handle owner) {
    pybind11::array_t<T> view({static_cast<pybind11::ssize_t>(rows), static_cast<pybind11::ssize_t>(columns)},
                              {static_cast<pybind11::ssize_t>(values.stride() * sizeof(T)),
                               static_cast<pybind11::ssize_t>(sizeof(T))},
                              values.row(1) + 1, owner);
    pybind11::detail::array_proxy(view.ptr())->flags &= ~pybind11::detail::npy_api::NPY_ARRAY_WRITEABLE_;
    return view;
}

// (rows, columns, 3) copy of (x, y, z)(1..rows, 1..columns).
pybind11::array_t<double> Vectors(const Array2D<double>& x, const Array2D<double>& y, const Array2D<double>& z,
                                  int rows, int columns);

// (rows, columns, 4, 3) copy of the corners (x, y, z)(1..rows, 1..columns, 1..4).
pybind11::array_t<double> Corners(const Array3D<double>& x, const Array3D<double>& y, const Array3D<double>& z,
                                  int rows, int columns);

}  // namespace panelflow::python
