#pragma once

#include "ArchiveEntry.h"

#include <cstdint>
#include <vector>

namespace setupstub {

class InputFile;

// The entry table at the archive position: n little-endian 32-bit positions of the
// entries, counted from the start of the program file, where n = (first position -
// archive position) / 4. Each entry runs to the next one, the last to the end of the
// file.
class ArchiveTable {
public:
    // Reads and checks the table: every position must lie inside the file, the
    // positions must increase, and every entry must hold at least its 28-byte head.
    // False (nothing read beyond the file, nothing allocated beyond its size) when not.
    bool read(InputFile& file, std::uint32_t archiveOffset);

    const std::vector<EntryExtent>& entries() const { return extents; }

private:
    bool checkExtents(const std::vector<std::uint32_t>& positions, std::uint64_t fileSize);

    std::vector<EntryExtent> extents;
};

} // namespace setupstub
