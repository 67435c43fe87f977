#pragma once
// The one path by which the program writes files. The bytes go to a new file beside the target;
// only when every byte is written and flushed to the disk is it renamed over the target. A failure
// at any step removes the new file and leaves the target exactly as it was.
//
// The saved file keeps the identity of the one it replaces: a target that is a symbolic link is
// written where the link points (the link stays), and an existing file keeps its permission bits
// and, where the system allows, its group. A new file is the owner's alone (0600).

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "UncachedIo.h"

namespace tessarel {

class AtomicFileWriter {
public:
    explicit AtomicFileWriter(std::string targetPath);
    ~AtomicFileWriter();
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    // The file the new one replaces under another name (the single-file tool's input): when the
    // target does not exist yet, the new file takes this file's permission bits instead of 0600.
    void KeepModeOf(std::string path) { modeSource = std::move(path); }
    // Output that holds secrets in clear (printed pages): the file is the owner's alone even when it
    // replaces a file others could read.
    void MakeOwnerOnly() { ownerOnly = true; }
    // A large sequential output nobody reads back soon (the single-file tool's): the bytes go
    // to the disk without a copy into the page cache wherever the file system takes that, and
    // the span written is aligned for it (see UncachedIo: page-aligned memory, whole blocks).
    // What is not aligned, and everything on a file system that refuses, goes the cached way.
    // Ask before Open.
    void PreferUncached() { uncachedWanted = true; }
    // How many bytes went to the disk uncached so far.
    std::uint64_t UncachedBytes() const { return uncachedBytes; }

    bool Open();
    bool Write(std::span<const std::uint8_t> bytes);
    // Flushes, closes and renames over the target. After a failure the target is untouched.
    bool Commit();
    // Drops the new file; the target is untouched.
    void Discard() noexcept;

    // The file a write to `path` lands in: symbolic links followed, relative ones from the folder
    // of the link, up to the system's limit of hops. Sets `error` (ELOOP, or the failure of
    // reading a link) and returns the path reached so far when it cannot go on.
    static std::string FollowLinks(const std::string& path, int* error = nullptr);

    // The system's description of the first failure, e.g. "No space left on device".
    const std::string& ErrorText() const { return errorText; }
    int ErrorCode() const { return errorCode; }

    // Writes happen in pieces of this size at most, so a failure can strike between any two.
    static constexpr std::size_t kChunkSize = 1 << 20;

private:
    bool Fail(int code);
    bool TakeOverMode();
    // The length of the next write from the front of `bytes`; 0 (errno set) when the descriptor
    // cannot be turned to the cached way for an unaligned rest.
    std::size_t NextLength(std::span<const std::uint8_t> bytes);

    std::string requested;  // the path the caller named, for the failure seam
    std::string target;     // where the bytes go: the requested path with its links followed
    std::string modeSource;
    bool ownerOnly = false;
    std::string temporary;
    int descriptor = -1;
    bool uncachedWanted = false;
    UncachedIo uncached;
    std::uint64_t uncachedBytes = 0;
    std::size_t writeIndex = 0;
    std::uint64_t offset = 0;
    bool committed = false;
    int errorCode = 0;
    std::string errorText;
};

// Writes the whole buffer atomically. On failure `error` receives the system's description.
enum class FileAccess { KeepReplaced, OwnerOnly };
bool WriteFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes, std::string* error = nullptr,
                         FileAccess access = FileAccess::KeepReplaced);

}  // namespace tessarel
