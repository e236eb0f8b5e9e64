#include "solver/BlasKernels.h"

#include <cblas.h>
#include <pthread.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cctype>
#include <charconv>
#include <cstdlib>
#include <string>
#include <string_view>

#include "base/ProcessorFeatures.h"

namespace panelflow {
namespace {

constexpr const char* kCoreTypeVariable = "OPENBLAS_CORETYPE";
constexpr const char* kAvx512Kernels = "SkylakeX";

bool UsesAvx512(std::string name) {
    for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return name.find("skylakex") != std::string::npos || name.find("cooperlake") != std::string::npos ||
           name.find("sapphire") != std::string::npos;
}

constexpr const char* kThreadCountVariable = "OPENBLAS_NUM_THREADS";

// A thread that only waits until the probe ends.
void* WaitForEnd(void* pipeEnd) {
    char byte;
    while (::read(*static_cast<int*>(pipeEnd), &byte, 1) < 0) {
    }
    return nullptr;
}

// OpenBLAS starts its threads while the program is being loaded, one per processor, and when the
// system refuses one (a process limit, ulimit -u) it stops the whole program with SIGINT. This
// runs before any library is initialised: under a finite process limit it starts as many
// waiting threads as OpenBLAS would, and when fewer start it starts the program again with
// OpenBLAS limited to those (down to the calling thread alone); the C library is not ready for
// setenv() this early, so the new environment is handed to execve. A user's own
// OPENBLAS_NUM_THREADS is kept.
void LimitBlasThreadsToWhatCanStart(int, char** argv, char** envp) {
    const std::string_view name = kThreadCountVariable;
    for (char** entry = envp; *entry != nullptr; ++entry) {  // getenv() is not ready this early
        const std::string_view variable(*entry);
        if (variable.size() > name.size() && variable.substr(0, name.size()) == name && variable[name.size()] == '=')
            return;
    }
    struct rlimit processes {};
    if (::getrlimit(RLIMIT_NPROC, &processes) != 0 || processes.rlim_cur == RLIM_INFINITY) return;
    const long wanted = ::sysconf(_SC_NPROCESSORS_ONLN) - 1;
    int ends[2];
    if (wanted <= 0 || ::pipe(ends) != 0) return;
    pthread_t threads[256];
    long started = 0;
    while (started < wanted && started < 256 &&
           ::pthread_create(&threads[started], nullptr, WaitForEnd, &ends[0]) == 0)
        ++started;
    ::close(ends[1]);
    for (long t = 0; t < started; ++t) ::pthread_join(threads[t], nullptr);
    ::close(ends[0]);
    if (started >= wanted) return;
    static char setting[64];
    const std::size_t prefix = name.size() + 1;
    name.copy(setting, name.size());
    setting[name.size()] = '=';
    *std::to_chars(setting + prefix, setting + sizeof setting - 1, started + 1).ptr = '\0';
    std::size_t count = 0;
    while (envp[count] != nullptr) ++count;
    char** environment = static_cast<char**>(std::malloc((count + 2) * sizeof(char*)));
    if (environment == nullptr) return;
    for (std::size_t e = 0; e < count; ++e) environment[e] = envp[e];
    environment[count] = setting;
    environment[count + 1] = nullptr;
    ::execve("/proc/self/exe", argv, environment);
    std::free(environment);  // could not start again: OpenBLAS will try its threads as it is
}

// Runs before the shared libraries' initialisers, OpenBLAS's among them.
__attribute__((section(".preinit_array"), used)) void (*const kLimitBlasThreads)(int, char**, char**) =
    LimitBlasThreadsToWhatCanStart;

}  // namespace

void SelectBlasKernels(char** argv) {
    if (std::getenv(kCoreTypeVariable) != nullptr) return;  // the user's choice, or ours already
    if (!ProcessorHasAvx512ForBlas() || UsesAvx512(BlasKernelsName())) return;
    if (::setenv(kCoreTypeVariable, kAvx512Kernels, 1) != 0) return;
    ::execv("/proc/self/exe", argv);
    ::unsetenv(kCoreTypeVariable);  // could not start again: go on with the kernels loaded
}

const char* BlasKernelsName() {
    const char* name = openblas_get_corename();
    return name != nullptr ? name : "unknown";
}

}  // namespace panelflow
