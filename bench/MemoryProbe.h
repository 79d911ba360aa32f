#pragma once

#include <cstdint>

namespace orvana::bench {

// Calls to the heap's allocation functions (malloc, calloc, realloc and the
// aligned forms; operator new and Qt's containers end up there) made by the
// calling thread so far. Counted by malloc wrappers linked into the
// benchmark, the way heaptrack counts them.
std::uint64_t threadAllocations();

// Bytes the heap has handed out and not taken back (mallinfo2: small blocks
// plus mmapped ones).
std::uint64_t heapInUse();

// VmRSS and VmHWM of this process, in bytes (0 when /proc is unreadable).
std::uint64_t residentBytes();
std::uint64_t peakResidentBytes();
// Starts VmHWM afresh from the current resident size.
void resetPeakResident();

} // namespace orvana::bench
