#pragma once

#include <cstddef>
#include <cstdint>

namespace setupstub {

// Where one entry lies in the program file, after the table has been checked.
struct EntryExtent {
    std::uint64_t offset = 0;
    std::uint64_t size = 0;
};

// The 28-byte head of an entry: Windows attribute bits and three FILETIME values
// (100-nanosecond units since 1601-01-01 UTC), followed by the compressed content.
class ArchiveEntry {
public:
    static constexpr std::size_t headerSize = 28;
    static constexpr std::uint32_t readOnlyAttribute = 0x01;

    // Reads the head of an entry of at least `headerSize` bytes.
    explicit ArchiveEntry(const std::uint8_t* entry);

    std::uint32_t attributes() const { return attributeBits; }
    std::uint64_t creationTime() const { return creation; }
    std::uint64_t lastAccessTime() const { return lastAccess; }
    std::uint64_t lastWriteTime() const { return lastWrite; }

private:
    std::uint32_t attributeBits;
    std::uint64_t creation;
    std::uint64_t lastAccess;
    std::uint64_t lastWrite;
};

} // namespace setupstub
