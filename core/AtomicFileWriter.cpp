#include "AtomicFileWriter.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <vector>

#include "FileFaults.h"

namespace tessarel {
namespace {

// The kernel's own limit on the links one path may pass through.
constexpr int kMaxLinkHops = 40;

std::string DirectoryOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Makes the rename itself durable: without this a crash can forget the new directory entry.
// Asks the system to start writing a piece to the disk now, without waiting for it. The flush at
// the end then finds most of the file already written instead of all of it still in memory.
void StartWriteback(int fd, std::uint64_t offset, std::size_t length) {
#ifdef __linux__
    ::sync_file_range(fd, static_cast<off_t>(offset), static_cast<off_t>(length), SYNC_FILE_RANGE_WRITE);
#else
    (void)fd;
    (void)offset;
    (void)length;
#endif
}

void SyncDirectory(const std::string& directory) {
    const int fd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

}  // namespace

AtomicFileWriter::AtomicFileWriter(std::string targetPath) : requested(std::move(targetPath)), target(requested) {}

std::string AtomicFileWriter::FollowLinks(const std::string& path, int* error) {
    std::string current = path;
    for (int hop = 0; hop < kMaxLinkHops; ++hop) {
        struct stat info {};
        if (::lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return current;
        std::vector<char> buffer(PATH_MAX);
        const ssize_t length = ::readlink(current.c_str(), buffer.data(), buffer.size());
        if (length < 0 || static_cast<std::size_t>(length) >= buffer.size()) {
            if (error) *error = length < 0 ? errno : ENAMETOOLONG;
            return current;
        }
        const std::string next(buffer.data(), static_cast<std::size_t>(length));
        current = next.front() == '/' ? next : DirectoryOf(current) + "/" + next;
    }
    if (error) *error = ELOOP;
    return current;
}

AtomicFileWriter::~AtomicFileWriter() {
    if (!committed) Discard();
}

bool AtomicFileWriter::Fail(int code) {
    if (errorCode == 0) {
        errorCode = code;
        errorText = std::strerror(code);
    }
    Discard();
    return false;
}

bool AtomicFileWriter::Open() {
    if (const int injected = InjectedFault(FileStep::Create, requested, 0)) return Fail(injected);
    // Renaming over a link would replace the link with a file and leave the file it names stale.
    int linkError = 0;
    target = FollowLinks(requested, &linkError);
    if (linkError != 0) return Fail(linkError);
    // mkstemp creates the name exclusively and owner-only (0600), in the target's own folder so
    // the final rename never crosses file systems.
    std::string pattern = target + ".XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    descriptor = ::mkstemp(name.data());
    if (descriptor < 0) return Fail(errno);
    temporary.assign(name.data());
    ::fcntl(descriptor, F_SETFD, FD_CLOEXEC);
    if (!TakeOverMode()) return Fail(errno);
    if (uncachedWanted) uncached.Enable(descriptor, requested);  // refused: the cached way
    return true;
}

bool AtomicFileWriter::TakeOverMode() {
    if (ownerOnly) return true;  // mkstemp made it 0600
    struct stat info {};
    if (::stat(target.c_str(), &info) != 0 && (modeSource.empty() || ::stat(modeSource.c_str(), &info) != 0)) {
        return true;  // a new file: owner-only, as mkstemp made it
    }
    // The group first: a change of group may clear mode bits that the chmod then sets. Only a
    // group the user belongs to can be given; otherwise the file keeps the user's own.
    if (info.st_gid != ::getegid()) {
        const int refused = ::fchown(descriptor, static_cast<uid_t>(-1), info.st_gid);
        (void)refused;
    }
    return ::fchmod(descriptor, info.st_mode & 0777) == 0;
}

std::size_t AtomicFileWriter::NextLength(std::span<const std::uint8_t> bytes) {
    const std::size_t length = std::min(bytes.size(), kChunkSize);
    if (!uncached.Enabled()) return length;
    if (const std::size_t aligned = uncached.AlignedPrefix(bytes.data(), length, offset)) return aligned;
    // From the first unaligned byte on the file goes the cached way: only its tail is left then.
    return uncached.Disable(descriptor) ? length : 0;
}

bool AtomicFileWriter::Write(std::span<const std::uint8_t> bytes) {
    if (descriptor < 0) return Fail(errorCode ? errorCode : EBADF);
    while (!bytes.empty()) {
        const std::size_t length = NextLength(bytes);
        if (length == 0) return Fail(errno);
        const bool direct = uncached.Enabled();
        const int injected = InjectedFault(FileStep::Write, requested, writeIndex++);
        const ssize_t written = injected != 0 ? -1 : ::write(descriptor, bytes.data(), length);
        if (written < 0) {
            const int cause = injected != 0 ? injected : errno;
            if (injected == 0 && cause == EINTR) continue;
            // The file system refused the uncached write: nothing of it was written, so the same
            // bytes go again the cached way.
            if (direct && cause == EINVAL && uncached.Disable(descriptor)) continue;
            return Fail(cause);
        }
        if (written == 0) return Fail(EIO);
        if (direct) {
            uncachedBytes += static_cast<std::uint64_t>(written);
        } else {
            StartWriteback(descriptor, offset, static_cast<std::size_t>(written));
        }
        offset += static_cast<std::uint64_t>(written);
        bytes = bytes.subspan(static_cast<std::size_t>(written));
    }
    return true;
}

bool AtomicFileWriter::Commit() {
    if (descriptor < 0) return Fail(errorCode ? errorCode : EBADF);
    if (const int injected = InjectedFault(FileStep::Flush, requested, 0)) return Fail(injected);
    if (::fsync(descriptor) != 0) return Fail(errno);
    const int fd = descriptor;
    descriptor = -1;
    if (::close(fd) != 0) return Fail(errno);
    if (const int injected = InjectedFault(FileStep::Rename, requested, 0)) return Fail(injected);
    if (::rename(temporary.c_str(), target.c_str()) != 0) return Fail(errno);
    committed = true;
    temporary.clear();
    SyncDirectory(DirectoryOf(target));
    return true;
}

void AtomicFileWriter::Discard() noexcept {
    if (descriptor >= 0) {
        ::close(descriptor);
        descriptor = -1;
    }
    if (!temporary.empty()) {
        ::unlink(temporary.c_str());
        temporary.clear();
    }
}

bool WriteFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes, std::string* error, FileAccess access) {
    AtomicFileWriter writer(path);
    if (access == FileAccess::OwnerOnly) writer.MakeOwnerOnly();
    const bool ok = writer.Open() && writer.Write(bytes) && writer.Commit();
    if (!ok && error) *error = writer.ErrorText();
    return ok;
}

}  // namespace tessarel
