#include "../InputFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace setupstub {

InputFile::~InputFile()
{
    close();
}

bool InputFile::open(const std::string& path)
{
    close();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || info.st_size < 0) {
        ::close(fd);
        return false;
    }
    handle = fd;
    fileSize = static_cast<std::uint64_t>(info.st_size);
    return true;
}

bool InputFile::readAt(std::uint64_t offset, void* data, std::size_t count)
{
    if (handle < 0 || offset > fileSize || count > fileSize - offset)
        return false;
    auto* target = static_cast<unsigned char*>(data);
    while (count > 0) {
        const ssize_t got = ::pread(static_cast<int>(handle), target, count, static_cast<off_t>(offset));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false; // error, or the file shrank under us
        target += got;
        offset += static_cast<std::uint64_t>(got);
        count -= static_cast<std::size_t>(got);
    }
    return true;
}

void InputFile::close()
{
    if (handle >= 0)
        ::close(static_cast<int>(handle));
    handle = -1;
    fileSize = 0;
}

} // namespace setupstub
