#pragma once

#include "ArchiveEntry.h"
#include "StubStatus.h"

#include <atomic>
#include <cstddef>
#include <string>
#include <vector>

namespace setupstub {

// Unpacks the archive appended to the program file into a new private folder under
// the temporary folder: entry 0 as the second stage "velotte.exe", entry k as k in
// eight digits. Stops at the first failure; files already written stay.
//
// Every entry is a stream of its own, so entries are unpacked side by side, one
// thread per processor (at most `maxThreads`), each taking the next entry in table
// order when it is done with one.
class StubExtractor {
public:
    StubStatus extract();

    // Path of the second stage, known once the folder exists.
    const std::string& secondStagePath() const { return secondStage; }
    const std::string& folder() const { return folderPath; }

private:
    static constexpr std::size_t maxThreads = 4;

    bool extractEntries(const std::string& programPath, const std::vector<EntryExtent>& entries);
    static void runWorker(void* self);
    void work();
    std::string entryPath(std::size_t index) const;

    std::string folderPath;
    std::string secondStage;
    // Shared by the extraction threads while extractEntries() runs.
    std::string program;
    const std::vector<EntryExtent>* pending = nullptr;
    std::atomic<std::size_t> nextEntry {0};
    std::atomic<bool> failed {false};
};

} // namespace setupstub
