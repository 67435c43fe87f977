#include "StubExtractor.h"

#include "ArchiveTable.h"
#include "EntryExtractor.h"
#include "InputFile.h"
#include "PatchRecord.h"
#include "Platform.h"
#include "WorkerThread.h"

#include <cstdio>
#include <memory>

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

    file.close();
    return extractEntries(ownPath, table.entries()) ? StubStatus::NoError : StubStatus::FileAccess;
}

std::string StubExtractor::entryPath(std::size_t index) const
{
    if (index == 0)
        return folderPath + platform::pathSeparator() + "velotte.exe";
    char name[24];
    std::snprintf(name, sizeof name, "%08lu", static_cast<unsigned long>(index));
    return folderPath + platform::pathSeparator() + name;
}

bool StubExtractor::extractEntries(const std::string& programPath, const std::vector<EntryExtent>& entries)
{
    program = programPath;
    pending = &entries;
    nextEntry = 0;
    failed = false;
    std::size_t threads = platform::processorCount();
    if (threads > maxThreads)
        threads = maxThreads;
    if (threads > entries.size())
        threads = entries.size();
    // This thread works too; when a helper cannot be started, fewer do the same work.
    std::vector<std::unique_ptr<WorkerThread>> helpers;
    for (std::size_t k = 1; k < threads; ++k) {
        auto helper = std::make_unique<WorkerThread>();
        if (!helper->start(&StubExtractor::runWorker, this))
            break;
        helpers.push_back(std::move(helper));
    }
    work();
    for (auto& helper : helpers)
        helper->join();
    pending = nullptr;
    return !failed.load();
}

void StubExtractor::runWorker(void* self)
{
    static_cast<StubExtractor*>(self)->work();
}

void StubExtractor::work()
{
    // An exception must not leave a thread: out of memory here is a failed extraction.
    try {
        EntryExtractor extractor(failed);
        if (!extractor.open(program)) {
            failed = true;
            return;
        }
        while (!failed.load()) {
            const std::size_t index = nextEntry.fetch_add(1);
            if (index >= pending->size())
                return;
            if (!extractor.extract((*pending)[index], entryPath(index), index == 0))
                failed = true;
        }
    } catch (...) {
        failed = true;
    }
}

} // namespace setupstub
