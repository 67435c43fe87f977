#pragma once

#include "ArchiveEntry.h"
#include "InputFile.h"
#include "LzssDecoder.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace setupstub {

// Unpacks single entries of the archive into files. Each extraction thread has its
// own: its own handle on the program file (so reads at an offset need no shared file
// position), its own decoder and its own piece buffer.
class EntryExtractor {
public:
    // `stop` is shared by all extractors of one run: set, it ends the current entry at
    // the next piece, as a failure.
    explicit EntryExtractor(const std::atomic<bool>& stop);

    bool open(const std::string& programPath);

    // Writes the entry at `extent` to `path` with its times and attributes; `program`
    // marks the second stage. False on any failure (the file may stay, partly written).
    bool extract(const EntryExtent& extent, const std::string& path, bool program);

private:
    bool decodeEntry(std::uint64_t offset, std::uint64_t size, ByteSink& output);

    // Entries are read in pieces of this size, so memory stays small and the data
    // being decoded stays in the cache, however large an entry is.
    static constexpr std::size_t pieceSize = std::size_t{1} << 20;

    const std::atomic<bool>& stopRequested;
    InputFile file;
    LzssDecoder decoder;
    std::vector<std::uint8_t> piece;
};

} // namespace setupstub
