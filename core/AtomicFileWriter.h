#pragma once
// The one path by which the program writes files. The bytes go to a new, owner-only file beside
// the target; only when every byte is written and flushed to the disk is it renamed over the
// target. A failure at any step removes the new file and leaves the target exactly as it was.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace tessarel {

class AtomicFileWriter {
public:
    explicit AtomicFileWriter(std::string targetPath);
    ~AtomicFileWriter();
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    bool Open();
    bool Write(std::span<const std::uint8_t> bytes);
    // Flushes, closes and renames over the target. After a failure the target is untouched.
    bool Commit();
    // Drops the new file; the target is untouched.
    void Discard() noexcept;

    // The system's description of the first failure, e.g. "No space left on device".
    const std::string& ErrorText() const { return errorText; }
    int ErrorCode() const { return errorCode; }

    // Writes happen in pieces of this size at most, so a failure can strike between any two.
    static constexpr std::size_t kChunkSize = 1 << 20;

private:
    bool Fail(int code);

    std::string target;
    std::string temporary;
    int descriptor = -1;
    std::size_t writeIndex = 0;
    std::uint64_t offset = 0;
    bool committed = false;
    int errorCode = 0;
    std::string errorText;
};

// Writes the whole buffer atomically. On failure `error` receives the system's description.
bool WriteFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes, std::string* error = nullptr);

}  // namespace tessarel
