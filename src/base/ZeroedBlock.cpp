// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/ZeroedBlock.h"

#include <sys/mman.h>

#include <cstdint>
#include <cstdlib>
#include <new>

namespace panelflow::zeroed {
namespace {

std::size_t WholeHugePages(std::size_t bytes) { return (bytes + kHugePage - 1) & ~(kHugePage - 1); }

// Maps whole huge pages on a huge-page boundary: one huge page more than needed, then the
// unaligned head and the tail beyond are given back.
void* MapLargeBlock(std::size_t bytes) {
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

}  // namespace

void* Allocate(std::size_t count, std::size_t size) {
    if (count == 0) return nullptr;
    if (count > (std::size_t(-1) - 2 * kHugePage) / size) throw std::bad_alloc();
    const std::size_t bytes = count * size;
    if (bytes >= kLargeBlock) return MapLargeBlock(bytes);
    void* p = std::calloc(bytes, 1);
    if (p == nullptr) throw std::bad_alloc();
    return p;
}

void Release(void* block, std::size_t bytes) noexcept {
    if (block == nullptr) return;
    if (bytes >= kLargeBlock) (void)::munmap(block, WholeHugePages(bytes));
    else std::free(block);
}

}  // namespace panelflow::zeroed
