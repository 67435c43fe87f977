#pragma once
// The failure seam of the one file-writing path. Tests install a FileFaults object to make any
// step of a save fail (a given write, the flush, the rename, ...) exactly as the system would,
// without patching the code under test. The program never installs one.

#include <cstddef>
#include <string>

namespace tessarel {

// Uncached: turning uncached transfers on for a file (see UncachedIo); a fault there stands for a
// file system that refuses them, and the file goes the cached way instead of failing.
enum class FileStep { Create, Write, Flush, Rename, Remove, Uncached };

class FileFaults {
public:
    virtual ~FileFaults() = default;
    // Returns an errno value to make this step fail, or 0 to let it run. `index` counts the
    // writes of one file from 0 (it is 0 for the other steps). The value is taken as the system's
    // own answer: EINVAL at an uncached write means a refusal of uncached writes, as it does
    // from the system, and the same bytes go again the cached way.
    virtual int Inject(FileStep step, const std::string& path, std::size_t index) = 0;
};

// Installs the process-wide fault source (nullptr removes it). Returns the previous one.
FileFaults* SetFileFaults(FileFaults* faults) noexcept;

// Asked by the file layer before every step.
int InjectedFault(FileStep step, const std::string& path, std::size_t index);

}  // namespace tessarel
