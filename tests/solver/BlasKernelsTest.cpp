// SPDX-License-Identifier: GPL-3.0-or-later
// The programs' choice of OpenBLAS kernels, seen from outside: OpenBLAS names the kernels it loads
// on standard error when OPENBLAS_VERBOSE=2.

#include <gtest/gtest.h>

#include <string>

#include "base/ProcessorFeatures.h"
#include "support/BatchRunner.h"
#include "support/TempDir.h"

namespace panelflow {
namespace {

// The kernels named by the last "Core: " line of OpenBLAS's report.
std::string LastCore(const std::string& errors) {
    const auto at = errors.rfind("Core: ");
    if (at == std::string::npos) return "";
    return errors.substr(at + 6, errors.find('\n', at) - at - 6);
}

TEST(BlasKernels, AUsersOwnChoiceOfKernelsIsKept) {
    testing::TempDir dir;
    const auto run = testing::RunBatch(dir, "--version", "OPENBLAS_VERBOSE=2 OPENBLAS_CORETYPE=Haswell");
    ASSERT_EQ(run.status, 0);
    EXPECT_EQ(LastCore(run.errors), "Haswell") << run.errors;
}

TEST(BlasKernels, AProcessorWithAvx512RunsTheAvx512KernelsAndOthersKeepTheLibrarysChoice) {
    testing::TempDir dir;
    const auto run = testing::RunBatch(dir, "--version", "env -u OPENBLAS_CORETYPE OPENBLAS_VERBOSE=2");
    ASSERT_EQ(run.status, 0);
    const std::string core = LastCore(run.errors);
    const bool avx512 = core == "SkylakeX" || core == "Cooperlake" || core == "SapphireRapids";
    EXPECT_EQ(avx512, ProcessorHasAvx512ForBlas()) << run.errors;
    if (!ProcessorHasAvx512ForBlas()) {
        EXPECT_EQ(run.errors.find("Core: "), run.errors.rfind("Core: ")) << "no restart";
    }
}

}  // namespace
}  // namespace panelflow
