#pragma once
// Arrays indexed from 0 up to an inclusive upper bound, as the panel model and the solver use them:
// an array "allocated [0..n]" holds n + 1 entries; index 0 exists and stays unused by convention.
// Storage is contiguous and row-major (the last index varies fastest), zero-initialised at
// construction, so a dense matrix can be handed to BLAS in place: element (i, j) of an
// Array2D lies at data()[i * stride() + j].
// Bounds are checked by assert only (debug builds); release builds index directly.
//
// The storage comes zeroed from the operating system, not yet touched: a matrix of hundreds of
// megabytes costs nothing until it is filled, and is then written once, by the threads that fill
// it, instead of being cleared first. Blocks of 4 MB and more are mapped whole huge pages at a
// time and offered transparent huge pages, so that filling them takes one page fault per 2 MB
// instead of one per 4 kB (each costly in a virtual machine); smaller ones come from calloc.

#include <sys/mman.h>

#include <cassert>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <type_traits>
#include <utility>
#include <vector>

namespace panelflow {

template <class T>
struct ZeroedAllocator {
    using value_type = T;
    ZeroedAllocator() = default;
    template <class U>
    ZeroedAllocator(const ZeroedAllocator<U>&) noexcept {}

    static constexpr std::size_t kHugePage = std::size_t{2} << 20;
    static constexpr std::size_t kLargeBlock = 2 * kHugePage;

    T* allocate(std::size_t n) {
        if (n > (std::size_t(-1) - 2 * kHugePage) / sizeof(T)) throw std::bad_alloc();
        const std::size_t bytes = n * sizeof(T);
        if (bytes >= kLargeBlock) return static_cast<T*>(MapLargeBlock(bytes));
        void* p = std::calloc(n, sizeof(T));
        if (p == nullptr) throw std::bad_alloc();
        return static_cast<T*>(p);
    }
    void deallocate(T* p, std::size_t n) noexcept {
        const std::size_t bytes = n * sizeof(T);
        if (bytes >= kLargeBlock) (void)::munmap(p, WholeHugePages(bytes));
        else std::free(p);
    }

    // Value-initialising a number writes nothing: the memory is zero already.
    template <class U>
    void construct(U* p) noexcept(std::is_nothrow_default_constructible_v<U>) {
        if constexpr (!std::is_arithmetic_v<U>) ::new (static_cast<void*>(p)) U();
    }
    template <class U, class... Args>
    void construct(U* p, Args&&... args) {
        ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
    }

    friend bool operator==(const ZeroedAllocator&, const ZeroedAllocator&) noexcept { return true; }

private:
    static std::size_t WholeHugePages(std::size_t bytes) { return (bytes + kHugePage - 1) & ~(kHugePage - 1); }

    // Maps whole huge pages on a huge-page boundary: one huge page more than needed, then the
    // unaligned head and the tail beyond are given back.
    static void* MapLargeBlock(std::size_t bytes) {
        const std::size_t length = WholeHugePages(bytes);
        void* mapped = ::mmap(nullptr, length + kHugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (mapped == MAP_FAILED) throw std::bad_alloc();
        const auto start = reinterpret_cast<std::uintptr_t>(mapped);
        const auto begin = (start + kHugePage - 1) & ~(kHugePage - 1);
        if (begin > start) (void)::munmap(mapped, begin - start);
        (void)::munmap(reinterpret_cast<void*>(begin + length), start + kHugePage - begin);  // never empty
        (void)::madvise(reinterpret_cast<void*>(begin), length, MADV_HUGEPAGE);
        return reinterpret_cast<void*>(begin);
    }
};

template <class T>
using ZeroedVector = std::vector<T, ZeroedAllocator<T>>;

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
    ZeroedVector<T> data_;
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
    ZeroedVector<T> data_;
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
    ZeroedVector<T> data_;
};

}  // namespace panelflow
