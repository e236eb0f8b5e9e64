// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <new>
#include <utility>

#include "base/Array.h"

namespace panelflow {
namespace {

constexpr std::uintptr_t kHugePage = zeroed::kHugePage;

// Every element of a fresh array is zero; each can then be written and read back.
void ExpectZeroedAndWritable(Array2D<double>& a) {
    const std::size_t count = static_cast<std::size_t>(a.upper1() + 1) * static_cast<std::size_t>(a.stride());
    double* data = a.data();
    std::size_t nonZero = 0;
    for (std::size_t k = 0; k < count; ++k) nonZero += data[k] != 0.0;
    EXPECT_EQ(nonZero, 0u);
    for (std::size_t k = 0; k < count; ++k) data[k] = static_cast<double>(k);
    std::size_t wrong = 0;
    for (std::size_t k = 0; k < count; ++k) wrong += data[k] != static_cast<double>(k);
    EXPECT_EQ(wrong, 0u);
}

TEST(Array, MatricesOfEverySizeAroundTheLargeBlockThresholdStartZeroed) {
    // 4 MB is 524288 doubles: rows of 1024 make blocks just below, at and above it.
    for (const std::ptrdiff_t rows : {510, 511, 512, 513, 1100}) {
        for (int round = 0; round < 2; ++round) {  // the second round may reuse the first's memory
            Array2D<double> a(rows - 1, 1023);
            SCOPED_TRACE(rows);
            ExpectZeroedAndWritable(a);
        }
    }
}

TEST(Array, LargeMatricesStartOnAHugePageBoundary) {
    Array2D<double> a(1100, 1100);  // 9.7 MB, 4.9 huge pages
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(a.data()) % kHugePage, 0u);
    a(1100, 1100) = 7.0;  // the last element, in the last, partly used huge page
    const Array2D<double> copy = a;
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(copy.data()) % kHugePage, 0u);
    EXPECT_EQ(copy(1100, 1100), 7.0);
    EXPECT_EQ(copy(0, 0), 0.0);
}

TEST(Array, ABlockBeyondTheAddressSpaceIsRefusedWithBadAlloc) {
    EXPECT_THROW((void)ZeroedBlock<double>(std::size_t{1} << 60), std::bad_alloc);           // 8 EB: no mapping
    EXPECT_THROW((void)ZeroedBlock<double>(std::size_t(-1) / sizeof(double)), std::bad_alloc);  // size overflows
}

TEST(Array, ACopyIsDeepAndAMovedFromArrayIsEmpty) {
    Array1D<double> a(3);
    a(2) = 5.0;
    Array1D<double> copy = a;
    copy(2) = 6.0;
    EXPECT_EQ(a(2), 5.0);
    Array1D<double> moved = std::move(a);
    EXPECT_EQ(moved(2), 5.0);
    EXPECT_TRUE(a.empty());  // NOLINT(bugprone-use-after-move): the state after a move is promised
}

}  // namespace
}  // namespace panelflow
