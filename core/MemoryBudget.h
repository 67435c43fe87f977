#pragma once
// How much more memory this process can take before the system refuses it (a limit set on the
// process) or has to kill something to give it (the memory the system still has available).
// Readers of untrusted files ask before they build large structures, so that a file too large for
// the machine gets a message instead of the out-of-memory killer.

#include <cstdint>

namespace tessarel {

// Bytes the process may still allocate; the largest value when nothing limits it or nothing can
// be learnt.
std::uint64_t AvailableMemory();

}  // namespace tessarel
