#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace stubpack {

// One file to be carried: its compressed content and the head the stub restores.
struct PackEntry {
    std::vector<std::uint8_t> compressed;
    std::uint32_t attributes = 0x20;
    std::uint64_t creationTime = 0;
    std::uint64_t lastAccessTime = 0;
    std::uint64_t lastWriteTime = 0;
};

// Appends an archive to a stub and points the stub's patch record at it:
//   stub | table of n 32-bit positions | entry 0 | ... | entry n-1
// with each entry a 28-byte head (attributes, three FILETIMEs) and its LZSS data, all
// integers little-endian, every position counted from the start of the file.
class ArchiveBuilder {
public:
    // The packed program, or an empty vector with `error` set.
    static std::vector<std::uint8_t> build(const std::vector<std::uint8_t>& stub,
                                           const std::vector<PackEntry>& entries, std::string& error);

    // Where the patch record's marker text sits in `stub`; -1 when it is missing or
    // appears more than once (then the stub cannot be patched safely).
    static long long findPatchRecord(const std::vector<std::uint8_t>& stub, std::string& error);

    static constexpr std::size_t recordSize = 12;
};

} // namespace stubpack
