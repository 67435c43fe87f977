#pragma once
// Whole-file reads with a bound: the size is checked before anything is allocated, and the read
// never takes more than the bound even if the file grows meanwhile.

#include <cstddef>
#include <cstdint>
#include <string>

#include "SecureBuffer.h"

namespace tessarel {

enum class ReadStatus { Ok, NotFound, AccessDenied, TooManyOpenFiles, TooLarge, NotAFile, IoError };

struct FileReadResult {
    ReadStatus status = ReadStatus::Ok;
    int errorCode = 0;        // errno of the failure, 0 when none
    std::string errorText;    // the system's description of it
};

// Reads the whole file into `out` (replacing its contents). Files larger than `maxBytes` are
// refused with TooLarge before any byte is read.
FileReadResult ReadWholeFile(const std::string& path, std::size_t maxBytes, SecureBytes& out);

// Size of a regular file, or -1 when it cannot be opened or is not a regular file.
std::int64_t FileSize(const std::string& path);

bool FileExists(const std::string& path);

// Deletes a file through the faultable seam. Returns false (errno in `error`) on failure.
bool RemoveFile(const std::string& path, int* error = nullptr);

}  // namespace tessarel
