#pragma once
// A regular file opened for reading, read in bounded pieces. Only regular files are opened: a
// folder, a pipe or a device is refused before anything waits on it.
//
// A large file read once from start to end (the single-file tool's input) may be read uncached:
// the device fills the caller's pieces directly instead of the page cache being filled and then
// copied out (see UncachedIo). Pieces whose memory and position are aligned go that way, the rest
// and every file on a file system that refuses go the cached way; the bytes are the same.

#include <cstdint>
#include <span>
#include <string>
#include <system_error>

#include "core/UncachedIo.h"

namespace tessarel {

class CInputFile {
public:
    enum class ReadResult { Ok, Short, IoError };

    CInputFile() = default;
    ~CInputFile();
    CInputFile(const CInputFile&) = delete;
    CInputFile& operator=(const CInputFile&) = delete;

    // On failure Error() tells why (permission_denied also for anything that is not a regular file).
    bool Open(const std::string& path);
    void Close();
    // Closes a large file in the background (CBackgroundClose) and returns at once: after its
    // name is removed, nobody needs to wait for its space to come back. A small file is closed
    // at once.
    void CloseInBackground();
    static constexpr std::uint64_t kBackgroundCloseBytes = std::uint64_t{16} << 20;

    // Reads from here on go uncached where they can. Ask after Open.
    void PreferUncached();
    // How many bytes were read uncached so far.
    std::uint64_t UncachedBytes() const { return uncachedBytes; }

    std::error_code Error() const { return error; }
    // The length the file had when it was opened.
    std::uint64_t Length() const { return length; }

    // Reads exactly `into.size()` bytes from the current position (never more, even when the
    // file grew meanwhile).
    ReadResult Read(std::span<std::uint8_t> into);
    // Moves the read position; false on failure.
    bool Seek(std::uint64_t offset);
    // Reads exactly `into.size()` bytes at `offset`; the position is then after them.
    ReadResult ReadAt(std::uint64_t offset, std::span<std::uint8_t> into);
    // True when no byte follows the current position.
    bool AtEnd();

private:
    // One read into the front of `into` at the current position: the bytes read, 0 at the end,
    // -1 on failure.
    long ReadOnce(std::span<std::uint8_t> into);

    int descriptor = -1;
    std::string path;
    std::uint64_t length = 0;
    std::uint64_t position = 0;
    std::error_code error;
    UncachedIo uncached;
    std::uint64_t uncachedBytes = 0;
};

}  // namespace tessarel
