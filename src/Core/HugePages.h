#pragma once

#include <cstddef>
#include <cstdint>
#include <sys/mman.h>

namespace orvana {

// Asks for huge pages behind a buffer of many megabytes that is about to be
// filled: it then costs a few page faults instead of thousands. Only the
// whole, aligned huge pages inside the buffer are concerned; where the system
// offers none, nothing changes.
inline void adviseHugePages(const void* data, std::size_t size) {
    constexpr std::uintptr_t huge = std::uintptr_t(2) << 20;
    const std::uintptr_t begin = reinterpret_cast<std::uintptr_t>(data);
    const std::uintptr_t from = (begin + huge - 1) & ~(huge - 1);
    const std::uintptr_t to = (begin + size) & ~(huge - 1);
    if (to > from)
        (void)::madvise(reinterpret_cast<void*>(from), to - from, MADV_HUGEPAGE);
}

} // namespace orvana
