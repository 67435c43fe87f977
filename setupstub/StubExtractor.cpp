#include "StubExtractor.h"

#include "ArchiveTable.h"
#include "BackgroundWriter.h"
#include "InputFile.h"
#include "OutputFile.h"
#include "PatchRecord.h"
#include "Platform.h"

#include <cstdio>
#include <cstring>

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

    const std::string temporary = platform::temporaryFolder();
    if (temporary.empty())
        return StubStatus::FileAccess;
    folderPath = platform::createPrivateFolder(temporary, "tqz");
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
    // The table check guarantees the head and keeps the entry inside the file.
    std::uint8_t headBytes[ArchiveEntry::headerSize];
    if (!file.readAt(extent.offset, headBytes, sizeof headBytes))
        return false;
    const ArchiveEntry head(headBytes);

    const std::string path = entryPath(index);
    OutputFile output;
    if (!output.create(path))
        return false;
    // The file is written from a second thread while the next bytes are decoded.
    BackgroundWriter writer(output);
    const bool decoded
        = decodeEntry(file, extent.offset + ArchiveEntry::headerSize, extent.size - ArchiveEntry::headerSize, writer);
    if (!writer.finish() || !decoded)
        return false;
    if (!output.setTimes(head.creationTime(), head.lastAccessTime(), head.lastWriteTime()))
        return false;
    // A failed close can mean lost data on some file systems; it counts as a failure.
    if (!output.close())
        return false;
    return platform::setAttributes(path, head.attributes(), index == 0);
}

bool StubExtractor::decodeEntry(InputFile& file, std::uint64_t offset, std::uint64_t size, ByteSink& output)
{
    piece.resize(LzssDecoder::carryMax + pieceSize);
    decoder.begin();
    std::size_t carried = 0;
    for (;;) {
        const std::size_t count = size < pieceSize ? static_cast<std::size_t>(size) : pieceSize;
        if (!file.readAt(offset, piece.data() + carried, count))
            return false;
        offset += count;
        size -= count;
        const std::uint8_t* in = piece.data();
        const std::uint8_t* const end = in + carried + count;
        const bool last = size == 0;
        if (!decoder.decodeSome(in, end, last, output))
            return false;
        if (last)
            return decoder.finish(output);
        // The decoder stopped before a group that may continue in the next piece.
        carried = static_cast<std::size_t>(end - in);
        std::memmove(piece.data(), in, carried);
    }
}

} // namespace setupstub
