// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Arrays indexed from 0 up to an inclusive upper bound, as the panel model and the solver use them:
// an array "allocated [0..n]" holds n + 1 entries; index 0 exists and stays unused by convention.
// Storage is contiguous and row-major (the last index varies fastest), zero at construction
// (ZeroedBlock.h), so a dense matrix can be handed to BLAS in place: element (i, j) of an
// Array2D lies at data()[i * stride() + j].
// Bounds are checked by assert only (debug builds); release builds index directly.

#include <cassert>
#include <cstddef>

#include "base/ZeroedBlock.h"

namespace panelflow {

template <class T>
class Array1D {
public:
    Array1D() = default;
    // Allocates [0..upper], all zero.
    explicit Array1D(std::ptrdiff_t upper) : data_(static_cast<std::size_t>(upper + 1)) {}

    T& operator()(std::ptrdiff_t i) { assert(i >= 0 && static_cast<std::size_t>(i) < data_.size()); return data_[i]; }
    const T& operator()(std::ptrdiff_t i) const { assert(i >= 0 && static_cast<std::size_t>(i) < data_.size()); return data_[i]; }

    std::ptrdiff_t upper() const { return static_cast<std::ptrdiff_t>(data_.size()) - 1; }
    bool empty() const { return data_.empty(); }
    T* data() { return data_.data(); }
    const T* data() const { return data_.data(); }

private:
    ZeroedBlock<T> data_;
};

template <class T>
class Array2D {
public:
    Array2D() = default;
    // Allocates [0..upper1] x [0..upper2], all zero.
    Array2D(std::ptrdiff_t upper1, std::ptrdiff_t upper2)
        : rows_(upper1 + 1), cols_(upper2 + 1),
          data_(static_cast<std::size_t>(rows_) * static_cast<std::size_t>(cols_)) {}

    T& operator()(std::ptrdiff_t i, std::ptrdiff_t j) { return data_[index(i, j)]; }
    const T& operator()(std::ptrdiff_t i, std::ptrdiff_t j) const { return data_[index(i, j)]; }

    std::ptrdiff_t upper1() const { return rows_ - 1; }
    std::ptrdiff_t upper2() const { return cols_ - 1; }
    // Distance in elements between (i, j) and (i + 1, j).
    std::ptrdiff_t stride() const { return cols_; }
    bool empty() const { return data_.empty(); }
    T* data() { return data_.data(); }
    const T* data() const { return data_.data(); }
    T* row(std::ptrdiff_t i) { return data_.data() + i * cols_; }
    const T* row(std::ptrdiff_t i) const { return data_.data() + i * cols_; }

private:
    std::size_t index(std::ptrdiff_t i, std::ptrdiff_t j) const {
        assert(i >= 0 && i < rows_ && j >= 0 && j < cols_);
        return static_cast<std::size_t>(i) * static_cast<std::size_t>(cols_) + static_cast<std::size_t>(j);
    }
    std::ptrdiff_t rows_ = 0;
    std::ptrdiff_t cols_ = 0;
    ZeroedBlock<T> data_;
};

template <class T>
class Array3D {
public:
    Array3D() = default;
    // Allocates [0..upper1] x [0..upper2] x [0..upper3], all zero.
    Array3D(std::ptrdiff_t upper1, std::ptrdiff_t upper2, std::ptrdiff_t upper3)
        : n1_(upper1 + 1), n2_(upper2 + 1), n3_(upper3 + 1),
          data_(static_cast<std::size_t>(n1_) * n2_ * n3_) {}

    T& operator()(std::ptrdiff_t i, std::ptrdiff_t j, std::ptrdiff_t k) { return data_[index(i, j, k)]; }
    const T& operator()(std::ptrdiff_t i, std::ptrdiff_t j, std::ptrdiff_t k) const { return data_[index(i, j, k)]; }

    std::ptrdiff_t upper1() const { return n1_ - 1; }
    std::ptrdiff_t upper2() const { return n2_ - 1; }
    std::ptrdiff_t upper3() const { return n3_ - 1; }
    bool empty() const { return data_.empty(); }

private:
    std::size_t index(std::ptrdiff_t i, std::ptrdiff_t j, std::ptrdiff_t k) const {
        assert(i >= 0 && i < n1_ && j >= 0 && j < n2_ && k >= 0 && k < n3_);
        return (static_cast<std::size_t>(i) * n2_ + static_cast<std::size_t>(j)) * n3_ + static_cast<std::size_t>(k);
    }
    std::ptrdiff_t n1_ = 0, n2_ = 0, n3_ = 0;
    ZeroedBlock<T> data_;
};

}  // namespace panelflow
