// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The BLAS library's choice of kernels. OpenBLAS picks its kernels for the processor model it
// recognises when it loads; a model newer than the library (such as a recent AMD processor with
// AVX-512) gets its AVX2 kernels, which run the elimination at half the speed its AVX-512 ones
// would. The library reads OPENBLAS_CORETYPE only when it loads, so the choice is made by
// starting the program again with that variable set.

namespace panelflow {

// Called first thing in main, before anything else has run. On a processor with the AVX-512
// instructions that OpenBLAS's AVX-512 kernels need, when the library has chosen kernels without
// AVX-512 and the user has not set OPENBLAS_CORETYPE, sets it to those kernels and re-executes
// the program with the same arguments. Otherwise (and if the re-execution fails) it returns
// and the program goes on as it is. A user's own OPENBLAS_CORETYPE is always kept.
void SelectBlasKernels(char** argv);

// OpenBLAS takes a work buffer of 128 MB of address space for the calling thread when first
// called, and when it cannot have one it retries for ever (under an address-space or a data-size
// limit, say). Throws std::bad_alloc, before any BLAS call, when such a buffer cannot be had now.
// (The library's own threads are limited to what the limits allow before it loads.)
void CheckBlasWorkspace();

// The same, and then has the library take that buffer for the calling thread at once (a small
// product), which it keeps for the thread's later calls: for work that allocates much before its
// first product, and would otherwise leave the library no room for it.
void ReserveBlasWorkspace();

// The name of the kernels the BLAS library runs ("Haswell", "SkylakeX", ...), for reports.
const char* BlasKernelsName();

}  // namespace panelflow
