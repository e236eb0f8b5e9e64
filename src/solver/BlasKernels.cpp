// SPDX-License-Identifier: GPL-3.0-or-later
#include "solver/BlasKernels.h"

#include <cblas.h>
#include <pthread.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <new>
#include <string_view>

#include "base/ProcessorFeatures.h"

namespace panelflow {
namespace {

constexpr const char* kCoreTypeVariable = "OPENBLAS_CORETYPE";
constexpr const char* kAvx512Kernels = "SkylakeX";

// The library's names of the kernel sets that use AVX-512.
bool UsesAvx512(std::string_view name) {
    return name == "SkylakeX" || name == "Cooperlake" || name == "SapphireRapids";
}

constexpr const char* kThreadCountVariable = "OPENBLAS_NUM_THREADS";

// A thread that only waits until the probe ends.
void* WaitForEnd(void* pipeEnd) {
    char byte;
    while (::read(*static_cast<int*>(pipeEnd), &byte, 1) < 0) {
    }
    return nullptr;
}

// How many of `wanted` more threads the system starts now (a process limit, ulimit -u).
long ThreadsThatStart(long wanted) {
    int ends[2];
    if (wanted <= 0 || ::pipe(ends) != 0) return wanted;
    pthread_t threads[256];
    long started = 0;
    while (started < wanted && started < 256 && ::pthread_create(&threads[started], nullptr, WaitForEnd, &ends[0]) == 0)
        ++started;
    ::close(ends[1]);
    for (long t = 0; t < started; ++t) ::pthread_join(threads[t], nullptr);
    ::close(ends[0]);
    return started;
}

// OpenBLAS starts its threads while the program is being loaded, one per processor. When the
// system refuses one (a process limit) it stops the whole program with SIGINT, and a thread
// that cannot have its 128 MB work buffer (an address-space or a data-size limit) retries for
// ever and holds the program at its exit. This runs before any library is initialised: it allows
// OpenBLAS one thread per GB of the smaller of those two limits and no more threads than the
// system starts now, and when that is fewer than it would start (one per processor, or the
// user's OPENBLAS_NUM_THREADS) it starts the program again with OPENBLAS_NUM_THREADS set to that
// many (down to the calling thread alone). The C library is not ready for getenv() or setenv()
// this early, so the environment is read and handed to execve directly.
void LimitBlasThreads(int, char** argv, char** envp) {
    const std::string_view name = kThreadCountVariable;
    long wished = ::sysconf(_SC_NPROCESSORS_ONLN);
    std::size_t count = 0, own = static_cast<std::size_t>(-1);
    for (; envp[count] != nullptr; ++count) {
        const std::string_view variable(envp[count]);
        if (variable.size() <= name.size() || variable.substr(0, name.size()) != name || variable[name.size()] != '=')
            continue;
        own = count;
        long users = 0;
        const std::string_view value = variable.substr(name.size() + 1);
        const auto read = std::from_chars(value.data(), value.data() + value.size(), users);
        if (read.ec == std::errc() && read.ptr == value.data() + value.size() && users > 0) wished = users;
    }
    long threads = wished;
    struct rlimit limit {};
    for (const int memory : {RLIMIT_AS, RLIMIT_DATA})
        if (::getrlimit(memory, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY)
            threads = std::clamp(static_cast<long>(limit.rlim_cur >> 30), 1L, threads);
    if (::getrlimit(RLIMIT_NPROC, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY)
        threads = 1 + ThreadsThatStart(threads - 1);
    if (threads >= wished) return;

    static char setting[64];
    name.copy(setting, name.size());
    setting[name.size()] = '=';
    *std::to_chars(setting + name.size() + 1, setting + sizeof setting - 1, threads).ptr = '\0';
    char** environment = static_cast<char**>(std::malloc((count + 2) * sizeof(char*)));
    if (environment == nullptr) return;
    std::size_t kept = 0;
    for (std::size_t v = 0; v < count; ++v)
        if (v != own) environment[kept++] = envp[v];
    environment[kept] = setting;
    environment[kept + 1] = nullptr;
    ::execve("/proc/self/exe", argv, environment);
    std::free(environment);  // could not start again: OpenBLAS will try its threads as it is
}

// Runs before the shared libraries' initialisers, OpenBLAS's among them. Only a program has this
// section: the Python module, a shared object loaded long after OpenBLAS started its threads in
// the Python process, compiles this file with PANELFLOW_SHARED_OBJECT.
#ifndef PANELFLOW_SHARED_OBJECT
__attribute__((section(".preinit_array"), used)) void (*const kLimitBlasThreads)(int, char**, char**) =
    LimitBlasThreads;
#endif

}  // namespace

void SelectBlasKernels(char** argv) {
    if (std::getenv(kCoreTypeVariable) != nullptr) return;  // the user's choice, or ours already
    if (!ProcessorHasAvx512ForBlas() || UsesAvx512(BlasKernelsName())) return;
    if (::setenv(kCoreTypeVariable, kAvx512Kernels, 1) != 0) return;
    ::execv("/proc/self/exe", argv);
    ::unsetenv(kCoreTypeVariable);  // could not start again: go on with the kernels loaded
}

void CheckBlasWorkspace() {
    // The library's BUFFER_SIZE on x86-64 and a page of its own bookkeeping, for the calling
    // thread; the library's own threads took theirs when they started.
    constexpr std::size_t bytes = (std::size_t{128} << 20) + (std::size_t{64} << 10);
    // Writable like the library's buffer, so that it counts against the address-space and the
    // data-size limit alike; never touched, so it costs no memory.
    void* probe =
        ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (probe == MAP_FAILED) throw std::bad_alloc();
    ::munmap(probe, bytes);
}

void ReserveBlasWorkspace() {
    CheckBlasWorkspace();
    // A product of matrices always works in the buffer (a small product of vectors on the stack).
    double a[4] = {1.0, 0.0, 0.0, 1.0}, b[4] = {1.0, 2.0, 3.0, 4.0}, c[4] = {};
    cblas_dgemm(CblasColMajor, CblasNoTrans, CblasNoTrans, 2, 2, 2, 1.0, a, 2, b, 2, 0.0, c, 2);
}

const char* BlasKernelsName() {
    const char* name = openblas_get_corename();
    return name != nullptr ? name : "unknown";
}

}  // namespace panelflow
