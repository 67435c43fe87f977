#include "UncachedIo.h"

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <fcntl.h>
#include <sys/stat.h>

#include "FileFaults.h"

namespace tessarel {
namespace {

bool IsPowerOfTwo(std::size_t value) { return value != 0 && (value & (value - 1)) == 0; }

}  // namespace

bool UncachedIo::Enable(int fd, const std::string& path) {
#if defined(__linux__) && defined(O_DIRECT)
    if (enabled) return true;
    if (InjectedFault(FileStep::Uncached, path, 0) != 0) return false;
#ifdef STATX_DIOALIGN
    // The file system says what it needs; where it says nothing (an older kernel) one page is
    // assumed, and a refusal at the first transfer still sends the file the cached way.
    struct statx info {};
    if (::statx(fd, "", AT_EMPTY_PATH, STATX_DIOALIGN, &info) == 0 && (info.stx_mask & STATX_DIOALIGN) != 0) {
        if (info.stx_dio_mem_align == 0 || info.stx_dio_offset_align == 0) return false;  // not offered here
        memoryAlignment = std::max<std::size_t>(info.stx_dio_mem_align, alignof(std::max_align_t));
        offsetAlignment = info.stx_dio_offset_align;
    }
#endif
    if (!IsPowerOfTwo(memoryAlignment) || !IsPowerOfTwo(offsetAlignment)) return false;
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags | O_DIRECT) != 0) return false;
    enabled = true;
    return true;
#else
    (void)fd;
    (void)path;
    return false;
#endif
}

bool UncachedIo::Disable(int fd) {
#if defined(__linux__) && defined(O_DIRECT)
    if (!enabled) return true;
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_DIRECT) != 0) return false;
#else
    (void)fd;
#endif
    enabled = false;
    return true;
}

std::size_t UncachedIo::AlignedPrefix(const void* data, std::size_t length, std::uint64_t offset) const {
    if (!enabled) return 0;
    const auto address = reinterpret_cast<std::uintptr_t>(data);
    if (address % memoryAlignment != 0 || offset % offsetAlignment != 0) return 0;
    return length - length % offsetAlignment;
}

}  // namespace tessarel
