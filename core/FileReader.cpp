#include "FileReader.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "FileFaults.h"

namespace tessarel {
namespace {

ReadStatus StatusOf(int code) {
    switch (code) {
        case ENOENT: case ENOTDIR: return ReadStatus::NotFound;
        case EACCES: case EPERM: return ReadStatus::AccessDenied;
        case EMFILE: case ENFILE: return ReadStatus::TooManyOpenFiles;
        case EISDIR: return ReadStatus::NotAFile;
        default: return ReadStatus::IoError;
    }
}

FileReadResult Failure(int code) { return {StatusOf(code), code, std::strerror(code)}; }

class Descriptor {
public:
    explicit Descriptor(int value) : fd(value) {}
    ~Descriptor() { if (fd >= 0) ::close(fd); }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd; }
private:
    int fd;
};

}  // namespace

FileReadResult ReadWholeFile(const std::string& path, std::size_t maxBytes, SecureBytes& out) {
    out.clear();
    Descriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (file.get() < 0) return Failure(errno);
    struct stat info {};
    if (::fstat(file.get(), &info) != 0) return Failure(errno);
    if (S_ISDIR(info.st_mode)) return Failure(EISDIR);
    if (info.st_size < 0 || static_cast<std::uint64_t>(info.st_size) > maxBytes) {
        return {ReadStatus::TooLarge, EFBIG, std::strerror(EFBIG)};
    }
    const auto expected = static_cast<std::size_t>(info.st_size);
    out.resize(expected);
    std::size_t filled = 0;
    // A file that grows while we read is cut at the size it had, a shrinking one at its end.
    while (filled < expected) {
        const ssize_t got = ::read(file.get(), out.data() + filled, expected - filled);
        if (got < 0) {
            if (errno == EINTR) continue;
            const int code = errno;
            out.clear();
            return Failure(code);
        }
        if (got == 0) break;
        filled += static_cast<std::size_t>(got);
    }
    out.resize(filled);
    return {};
}

std::int64_t FileSize(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return -1;
    return static_cast<std::int64_t>(info.st_size);
}

bool FileExists(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

bool RemoveFile(const std::string& path, int* error) {
    int code = InjectedFault(FileStep::Remove, path, 0);
    if (code == 0 && ::unlink(path.c_str()) != 0) code = errno;
    if (error) *error = code;
    return code == 0;
}

}  // namespace tessarel
