#include "StubExtractor.h"

#include "ArchiveTable.h"
#include "InputFile.h"
#include "OutputFile.h"
#include "PatchRecord.h"
#include "Platform.h"

#include <cstdio>
#include <new>
#include <vector>

namespace setupstub {

StubStatus StubExtractor::extract()
{
    if (!PatchRecord::isFilled())
        return StubStatus::NotPatched;

    InputFile file;
    const std::string ownPath = platform::ownProgramPath();
    if (ownPath.empty() || !file.open(ownPath))
        return StubStatus::CantOpenArchive;

    // The whole table is checked before the folder is made, so a damaged archive
    // leaves nothing behind.
    ArchiveTable table;
    if (!table.read(file, PatchRecord::archiveOffset()))
        return StubStatus::FileAccess;

    folderPath = platform::createPrivateFolder(platform::temporaryFolder(), "tqz");
    if (folderPath.empty())
        return StubStatus::FileAccess;
    secondStage = entryPath(0);

    for (std::size_t k = 0; k < table.entries().size(); ++k) {
        if (!extractEntry(file, table.entries()[k], k))
            return StubStatus::FileAccess;
    }
    return StubStatus::NoError;
}

std::string StubExtractor::entryPath(std::size_t index) const
{
    if (index == 0)
        return folderPath + platform::pathSeparator() + "velotte.exe";
    char name[24];
    std::snprintf(name, sizeof name, "%08lu", static_cast<unsigned long>(index));
    return folderPath + platform::pathSeparator() + name;
}

bool StubExtractor::extractEntry(InputFile& file, const EntryExtent& extent, std::size_t index)
{
    // The table check bounds the size by the file's size.
    std::vector<std::uint8_t> entry;
    try {
        entry.resize(static_cast<std::size_t>(extent.size));
    } catch (const std::bad_alloc&) {
        return false;
    }
    if (!file.readAt(extent.offset, entry.data(), entry.size()))
        return false;
    const ArchiveEntry head(entry.data());

    const std::string path = entryPath(index);
    OutputFile output;
    if (!output.create(path))
        return false;
    if (!decoder.decode(entry.data() + ArchiveEntry::headerSize, entry.size() - ArchiveEntry::headerSize, output))
        return false;
    if (!output.setTimes(head.creationTime(), head.lastAccessTime(), head.lastWriteTime()))
        return false;
    // A failed close can mean lost data on some file systems; it counts as a failure.
    if (!output.close())
        return false;
    return platform::setAttributes(path, head.attributes(), index == 0);
}

} // namespace setupstub
