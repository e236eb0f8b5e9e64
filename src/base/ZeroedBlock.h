// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// An owning block of numbers that starts all zero: the storage behind every array of the
// program. Its size is fixed when it is made; it copies deeply and moves cheaply, and has none
// of a growable container's operations, so no resizing can bring stale values back.
//
// The memory comes zeroed from the operating system, not yet touched: a matrix of hundreds of
// megabytes costs nothing until it is filled, and is then written once, by the threads that fill
// it, instead of being cleared first. Blocks of 4 MB and more are mapped whole huge pages at a
// time and offered transparent huge pages, so that filling them takes one page fault per 2 MB
// instead of one per 4 kB (each costly in a virtual machine); smaller ones come from calloc.
// A block that cannot be had throws std::bad_alloc; the commands turn it into a message.

#include <cstddef>
#include <cstring>
#include <type_traits>
#include <utility>

namespace panelflow {

namespace zeroed {
inline constexpr std::size_t kHugePage = std::size_t{2} << 20;
inline constexpr std::size_t kLargeBlock = 2 * kHugePage;
// Zeroed memory for `count` items of `size` bytes (nullptr for none); throws std::bad_alloc.
void* Allocate(std::size_t count, std::size_t size);
void Release(void* block, std::size_t bytes) noexcept;
}  // namespace zeroed

template <class T>
class ZeroedBlock {
    static_assert(std::is_trivially_copyable_v<T>, "a zeroed block holds plain numbers");

public:
    ZeroedBlock() = default;
    explicit ZeroedBlock(std::size_t count) : data_(static_cast<T*>(zeroed::Allocate(count, sizeof(T)))), size_(count) {}
    ~ZeroedBlock() { zeroed::Release(data_, size_ * sizeof(T)); }

    ZeroedBlock(const ZeroedBlock& other) : ZeroedBlock(other.size_) {
        if (size_ > 0) std::memcpy(data_, other.data_, size_ * sizeof(T));
    }
    ZeroedBlock(ZeroedBlock&& other) noexcept
        : data_(std::exchange(other.data_, nullptr)), size_(std::exchange(other.size_, 0)) {}
    ZeroedBlock& operator=(ZeroedBlock other) noexcept {
        std::swap(data_, other.data_);
        std::swap(size_, other.size_);
        return *this;
    }

    T& operator[](std::size_t i) { return data_[i]; }
    const T& operator[](std::size_t i) const { return data_[i]; }
    T* data() { return data_; }
    const T* data() const { return data_; }
    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }

private:
    T* data_ = nullptr;
    std::size_t size_ = 0;
};

}  // namespace panelflow
