#pragma once
// Guards each of our programs takes on itself before it touches a secret: no core file, and no
// other process of the same user reading its memory (a debugger attaching, /proc/<pid>/mem).

#include <cstddef>

namespace tessarel {

// Turns core dumps off and makes the process not dumpable. Called first thing in main. Where the
// system has no such controls it does nothing; a refused call is not fatal (the program still
// works, it is only less guarded), so the result is only for callers that want to report it.
bool GuardProcess() noexcept;

// Pages for secrets that are left out of core dumps where the system allows it. Requests of at
// least SecretPageThreshold bytes get pages of their own; smaller ones come from the ordinary heap,
// where excluding a page would also exclude unrelated neighbours and split the heap mapping.
inline constexpr std::size_t SecretPageThreshold = 4096;
void* AllocateSecretPages(std::size_t size);
void ReleaseSecretPages(void* data, std::size_t size) noexcept;

}  // namespace tessarel
