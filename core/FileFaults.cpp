#include "FileFaults.h"

#include <atomic>

namespace tessarel {
namespace {
std::atomic<FileFaults*> installedFaults{nullptr};
}

FileFaults* SetFileFaults(FileFaults* faults) noexcept { return installedFaults.exchange(faults); }

int InjectedFault(FileStep step, const std::string& path, std::size_t index) {
    FileFaults* faults = installedFaults.load();
    return faults ? faults->Inject(step, path, index) : 0;
}

}  // namespace tessarel
