#pragma once
// Uncached (direct) transfers on one open file: the device reads into or writes from the caller's
// memory without a copy through the page cache. For large sequential files that copy costs about
// as much CPU as enciphering them, and the pages it fills are of no use to anyone afterwards.
//
// A transfer may go this way only when its memory address, its file offset and its length are
// aligned as the file system asks; the rest goes the cached way on the same descriptor after
// Disable(). A file system that refuses uncached transfers (at Enable, or with EINVAL at the first
// transfer) leaves the file on the cached way: the caller falls back, nothing is lost.

#include <cstddef>
#include <cstdint>
#include <string>

namespace tessarel {

class UncachedIo {
public:
    // The alignment assumed where the system does not tell (one page, enough for every common
    // device's logical block).
    static constexpr std::size_t kDefaultAlignment = 4096;

    // Turns uncached transfers on for `fd` where its file system takes them. The failure seam's
    // FileStep::Uncached step (asked with `path`) stands for a refusal. False leaves `fd` cached.
    bool Enable(int fd, const std::string& path);
    // Back to cached transfers; false (errno set) only when the system refuses to change the flag.
    bool Disable(int fd);
    bool Enabled() const { return enabled; }

    // How many of `length` bytes at `data`, to or from file offset `offset`, may go uncached: the
    // longest aligned prefix, or 0 when the start is not aligned or the file is cached.
    std::size_t AlignedPrefix(const void* data, std::size_t length, std::uint64_t offset) const;

    std::size_t MemoryAlignment() const { return memoryAlignment; }
    std::size_t OffsetAlignment() const { return offsetAlignment; }

private:
    bool enabled = false;
    std::size_t memoryAlignment = kDefaultAlignment;
    std::size_t offsetAlignment = kDefaultAlignment;
};

}  // namespace tessarel
