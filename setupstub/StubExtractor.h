#pragma once

#include "ArchiveEntry.h"
#include "LzssDecoder.h"
#include "StubStatus.h"

#include <cstddef>
#include <string>

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

    LzssDecoder decoder;
    std::string folderPath;
    std::string secondStage;
};

} // namespace setupstub
