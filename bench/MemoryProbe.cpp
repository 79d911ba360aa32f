#include "MemoryProbe.h"

#include <cstddef>
#include <cstdio>
#include <cstring>
#include <malloc.h>

// glibc's own entry points, which the wrappers below forward to. Defining
// malloc and friends in the executable makes every library (libstdc++, Qt,
// SQLite) call these.
extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* pointer, std::size_t size);
void* __libc_memalign(std::size_t alignment, std::size_t size);
}

namespace {
// Per thread, so that counting needs no atomics and workers of other
// benchmarks do not blur a figure taken on the main thread.
thread_local std::uint64_t allocations = 0;
} // namespace

extern "C" {

void* malloc(std::size_t size) noexcept {
    ++allocations;
    return __libc_malloc(size);
}

void* calloc(std::size_t count, std::size_t size) noexcept {
    ++allocations;
    return __libc_calloc(count, size);
}

void* realloc(void* pointer, std::size_t size) noexcept {
    ++allocations;
    return __libc_realloc(pointer, size);
}

void* memalign(std::size_t alignment, std::size_t size) noexcept {
    ++allocations;
    return __libc_memalign(alignment, size);
}

void* aligned_alloc(std::size_t alignment, std::size_t size) noexcept {
    ++allocations;
    return __libc_memalign(alignment, size);
}

int posix_memalign(void** pointer, std::size_t alignment, std::size_t size) noexcept {
    ++allocations;
    void* p = __libc_memalign(alignment, size);
    if (!p)
        return 12; // ENOMEM
    *pointer = p;
    return 0;
}

} // extern "C"

namespace orvana::bench {

std::uint64_t threadAllocations() {
    return allocations;
}

std::uint64_t heapInUse() {
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

namespace {

std::uint64_t statusField(const char* name) {
    std::FILE* file = std::fopen("/proc/self/status", "r");
    if (!file)
        return 0;
    char line[256];
    std::uint64_t kilobytes = 0;
    const std::size_t length = std::strlen(name);
    while (std::fgets(line, sizeof line, file)) {
        if (std::strncmp(line, name, length) == 0 && line[length] == ':') {
            std::sscanf(line + length + 1, "%lu", &kilobytes);
            break;
        }
    }
    std::fclose(file);
    return kilobytes * 1024;
}

} // namespace

std::uint64_t residentBytes() {
    return statusField("VmRSS");
}

std::uint64_t peakResidentBytes() {
    return statusField("VmHWM");
}

void resetPeakResident() {
    if (std::FILE* file = std::fopen("/proc/self/clear_refs", "w")) {
        std::fputs("5", file);
        std::fclose(file);
    }
}

} // namespace orvana::bench
