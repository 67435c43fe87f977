#include "ArchiveTable.h"

#include "InputFile.h"
#include "LittleEndian.h"

namespace setupstub {

bool ArchiveTable::read(InputFile& file, std::uint32_t archiveOffset)
{
    extents.clear();
    const std::uint64_t fileSize = file.size();
    std::uint8_t word[4];
    if (std::uint64_t{archiveOffset} + 4 > fileSize || !file.readAt(archiveOffset, word, 4))
        return false;
    const std::uint32_t first = readUint32(word);
    // The table ends where the first entry begins, so it must hold at least the first
    // position itself and end inside the file; only then is its size a safe bound.
    if (first < std::uint64_t{archiveOffset} + 4 || first > fileSize)
        return false;
    const std::size_t count = (first - archiveOffset) / 4;
    std::vector<std::uint8_t> table(count * 4);
    if (!file.readAt(archiveOffset, table.data(), table.size()))
        return false;
    std::vector<std::uint32_t> positions(count);
    for (std::size_t k = 0; k < count; ++k)
        positions[k] = readUint32(table.data() + 4 * k);
    return checkExtents(positions, fileSize);
}

bool ArchiveTable::checkExtents(const std::vector<std::uint32_t>& positions, std::uint64_t fileSize)
{
    for (std::size_t k = 0; k < positions.size(); ++k) {
        const std::uint64_t begin = positions[k];
        const std::uint64_t end = k + 1 < positions.size() ? positions[k + 1] : fileSize;
        // Increasing positions inside the file; end > begin follows from the head size.
        if (end > fileSize || end < begin || end - begin < ArchiveEntry::headerSize)
            return false;
        extents.push_back({begin, end - begin});
    }
    return true;
}

} // namespace setupstub
