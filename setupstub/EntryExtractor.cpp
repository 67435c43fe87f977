#include "EntryExtractor.h"

#include "BackgroundWriter.h"
#include "OutputFile.h"
#include "Platform.h"

#include <cstring>

namespace setupstub {

EntryExtractor::EntryExtractor(const std::atomic<bool>& stop) : stopRequested(stop) {}

bool EntryExtractor::open(const std::string& programPath)
{
    return file.open(programPath);
}

bool EntryExtractor::extract(const EntryExtent& extent, const std::string& path, bool program)
{
    // The table check guarantees the head and keeps the entry inside the file.
    std::uint8_t headBytes[ArchiveEntry::headerSize];
    if (!file.readAt(extent.offset, headBytes, sizeof headBytes))
        return false;
    const ArchiveEntry head(headBytes);

    OutputFile output;
    if (!output.create(path))
        return false;
    // The file is written from a second thread while the next bytes are decoded.
    BackgroundWriter writer(output);
    const bool decoded
        = decodeEntry(extent.offset + ArchiveEntry::headerSize, extent.size - ArchiveEntry::headerSize, writer);
    if (!writer.finish() || !decoded)
        return false;
    if (!output.setTimes(head.creationTime(), head.lastAccessTime(), head.lastWriteTime()))
        return false;
    // A failed close can mean lost data on some file systems; it counts as a failure.
    if (!output.close())
        return false;
    return platform::setAttributes(path, head.attributes(), program);
}

bool EntryExtractor::decodeEntry(std::uint64_t offset, std::uint64_t size, ByteSink& output)
{
    piece.resize(LzssDecoder::carryMax + pieceSize);
    decoder.begin();
    std::size_t carried = 0;
    for (;;) {
        if (stopRequested.load(std::memory_order_relaxed))
            return false;
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
