#pragma once
// A regular file opened for reading, read in bounded pieces. Only regular files are opened: a
// folder, a pipe or a device is refused before anything waits on it.

#include <cstdint>
#include <fstream>
#include <span>
#include <string>
#include <system_error>

namespace tessarel {

class CInputFile {
public:
    enum class ReadResult { Ok, Short, IoError };

    // On failure Error() tells why (permission_denied also for anything that is not a regular file).
    bool Open(const std::string& path);
    void Close();

    std::error_code Error() const { return error; }
    // The length the file had when it was opened.
    std::uint64_t Length() const { return length; }

    // Reads exactly `into.size()` bytes from the current position.
    ReadResult Read(std::span<std::uint8_t> into);
    // Moves the read position; false on failure.
    bool Seek(std::uint64_t offset);
    // Reads exactly `into.size()` bytes at `offset`; the position is then after them.
    ReadResult ReadAt(std::uint64_t offset, std::span<std::uint8_t> into);
    // True when no byte follows the current position.
    bool AtEnd();

private:
    std::ifstream stream;
    std::uint64_t length = 0;
    std::error_code error;
};

}  // namespace tessarel
