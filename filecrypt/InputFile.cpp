#include "InputFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "BackgroundClose.h"

namespace tessarel {
namespace {

std::error_code SystemError(int cause) {
    return cause != 0 ? std::error_code(cause, std::generic_category()) : std::make_error_code(std::errc::io_error);
}

}  // namespace

CInputFile::~CInputFile() { Close(); }

bool CInputFile::Open(const std::string& name) {
    Close();
    error.clear();
    std::error_code statusError;
    const auto status = std::filesystem::status(name, statusError);
    if (statusError) {
        error = statusError;
        return false;
    }
    if (!std::filesystem::is_regular_file(status)) {
        error = std::make_error_code(std::errc::permission_denied);
        return false;
    }
    descriptor = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) {
        error = SystemError(errno);
        return false;
    }
    struct stat info {};
    if (::fstat(descriptor, &info) != 0) {
        error = SystemError(errno);
        Close();
        return false;
    }
    // Replaced by something else between the check and the open: refused as anything else is.
    if (!S_ISREG(info.st_mode) || info.st_size < 0) {
        error = std::make_error_code(std::errc::permission_denied);
        Close();
        return false;
    }
    path = name;
    length = static_cast<std::uint64_t>(info.st_size);
    return true;
}

void CInputFile::Close() {
    if (descriptor >= 0) ::close(descriptor);
    descriptor = -1;
    uncached = UncachedIo{};
    length = 0;
    position = 0;
}

void CInputFile::CloseInBackground() {
    if (descriptor < 0 || length < kBackgroundCloseBytes) return Close();
    const int fd = descriptor;
    descriptor = -1;
    Close();
    CBackgroundClose::Close(fd);
}

void CInputFile::PreferUncached() {
    if (descriptor >= 0) uncached.Enable(descriptor, path);  // refused: the cached way
}

long CInputFile::ReadOnce(std::span<std::uint8_t> into) {
    for (;;) {
        std::size_t size = into.size();
        if (uncached.Enabled()) {
            size = uncached.AlignedPrefix(into.data(), size, position);
            // From the first unaligned piece on the file is read the cached way.
            if (size == 0 && !uncached.Disable(descriptor)) return -1;
            if (size == 0) size = into.size();
        }
        const bool direct = uncached.Enabled();
        const ssize_t got = ::pread(descriptor, into.data(), size, static_cast<off_t>(position));
        if (got >= 0) {
            if (direct) uncachedBytes += static_cast<std::uint64_t>(got);
            return got;
        }
        if (errno == EINTR) continue;
        // A refusal of the uncached read: nothing was read, so it goes again the cached way.
        if (!(direct && errno == EINVAL && uncached.Disable(descriptor))) return -1;
    }
}

CInputFile::ReadResult CInputFile::Read(std::span<std::uint8_t> into) {
    if (descriptor < 0) return ReadResult::IoError;
    while (!into.empty()) {
        const long got = ReadOnce(into);
        if (got < 0) return ReadResult::IoError;
        if (got == 0) return ReadResult::Short;
        position += static_cast<std::uint64_t>(got);
        into = into.subspan(static_cast<std::size_t>(got));
    }
    return ReadResult::Ok;
}

bool CInputFile::Seek(std::uint64_t offset) {
    if (descriptor < 0) return false;
    position = offset;
    return true;
}

CInputFile::ReadResult CInputFile::ReadAt(std::uint64_t offset, std::span<std::uint8_t> into) {
    if (!Seek(offset)) return ReadResult::IoError;
    return Read(into);
}

bool CInputFile::AtEnd() {
    if (descriptor < 0) return true;
    const std::uint64_t here = position;
    std::uint8_t next = 0;
    const bool atEnd = Read({&next, 1}) != ReadResult::Ok;
    position = here;
    return atEnd;
}

}  // namespace tessarel
