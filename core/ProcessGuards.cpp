#include "ProcessGuards.h"

#include <new>

#if defined(__linux__)
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#endif

namespace tessarel {

#if defined(__linux__)

bool GuardProcess() noexcept {
    // Both limits to zero: a child or a later call cannot raise the soft limit again.
    const rlimit none{0, 0};
    const bool noCore = ::setrlimit(RLIMIT_CORE, &none) == 0;
    // Not dumpable also means /proc/<pid>/mem, environ and ptrace are closed to the same user.
    const bool notDumpable = ::prctl(PR_SET_DUMPABLE, 0, 0, 0, 0) == 0;
    return noCore && notDumpable;
}

void* AllocateSecretPages(std::size_t size) {
    if (size < SecretPageThreshold) return ::operator new(size);
    void* pages = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (pages == MAP_FAILED) throw std::bad_alloc();
    // Best effort: an older kernel without MADV_DONTDUMP still gives usable memory.
    (void)::madvise(pages, size, MADV_DONTDUMP);
    return pages;
}

void ReleaseSecretPages(void* data, std::size_t size) noexcept {
    if (size < SecretPageThreshold) {
        ::operator delete(data);
        return;
    }
    ::munmap(data, size);
}

#else

bool GuardProcess() noexcept { return false; }

void* AllocateSecretPages(std::size_t size) { return ::operator new(size); }

void ReleaseSecretPages(void* data, std::size_t) noexcept { ::operator delete(data); }

#endif

}  // namespace tessarel
