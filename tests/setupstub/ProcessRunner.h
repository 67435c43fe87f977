#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// Runs a program to its end, as the stub's tests need it: extra environment
// variables, standard error captured, optionally a file size limit, or the program
// started from an anonymous memory file instead of a path.
struct ProcessResult {
    int exitStatus = -1; // -1 when the program did not exit normally
    std::string standardError;
};

struct ProcessOptions {
    std::vector<std::pair<std::string, std::string>> environment;
    std::uint64_t fileSizeLimit = 0;   // 0: no limit
    bool runFromMemoryFile = false;    // the program has no path it could reopen
};

class ProcessRunner {
public:
    static ProcessResult run(const std::vector<std::string>& arguments, const ProcessOptions& options = {});

    // Makes this process the one that orphaned descendants are handed to (a subreaper), so
    // that waitForDescendants can see a program's detached children end. False when the
    // system refuses.
    static bool adoptOrphans();
    // Waits (bounded) until every descendant handed to this process has ended, reaping each;
    // true when none is left.
    static bool waitForDescendants(std::chrono::milliseconds patience);
};
