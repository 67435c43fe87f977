#pragma once

#include "ArchiveEntry.h"
#include "LzssDecoder.h"
#include "StubStatus.h"

#include <cstddef>
#include <string>
#include <vector>

namespace setupstub {

class InputFile;

// Unpacks the archive appended to the program file into a new private folder under
// the temporary folder: entry 0 as the second stage "velotte.exe", entry k as k in
// eight digits. Stops at the first failure; files already written stay.
class StubExtractor {
public:
    StubStatus extract();

    // Path of the second stage, known once the folder exists.
    const std::string& secondStagePath() const { return secondStage; }
    const std::string& folder() const { return folderPath; }

private:
    bool extractEntry(InputFile& file, const EntryExtent& extent, std::size_t index);
    std::string entryPath(std::size_t index) const;

    // Entries are read in pieces of this size, so memory stays small and the data
    // being decoded stays in the cache, however large an entry is.
    static constexpr std::size_t pieceSize = std::size_t{1} << 20;

    bool decodeEntry(InputFile& file, std::uint64_t offset, std::uint64_t size, ByteSink& output);

    LzssDecoder decoder;
    std::vector<std::uint8_t> piece;
    std::string folderPath;
    std::string secondStage;
};

} // namespace setupstub
