#include "../OutputFile.h"

#include <cerrno>
#include <ctime>
#include <fcntl.h>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>

namespace setupstub {

namespace {

// FILETIME (100 ns since 1601-01-01 UTC) to a POSIX time, rounding towards the past.
bool toTimespec(std::uint64_t fileTime, timespec& result)
{
    constexpr std::uint64_t ticksPerSecond = 10000000;
    constexpr std::uint64_t epochDifference = 11644473600ULL * ticksPerSecond;
    std::int64_t seconds = 0;
    std::int64_t ticks = 0;
    if (fileTime >= epochDifference) {
        const std::uint64_t since = fileTime - epochDifference;
        seconds = static_cast<std::int64_t>(since / ticksPerSecond);
        ticks = static_cast<std::int64_t>(since % ticksPerSecond);
    } else {
        const std::uint64_t before = epochDifference - fileTime;
        seconds = -static_cast<std::int64_t>(before / ticksPerSecond);
        ticks = static_cast<std::int64_t>(before % ticksPerSecond);
        if (ticks != 0) {
            seconds -= 1;
            ticks = static_cast<std::int64_t>(ticksPerSecond) - ticks;
        }
    }
    if (seconds < std::numeric_limits<time_t>::min() || seconds > std::numeric_limits<time_t>::max())
        return false;
    result.tv_sec = static_cast<time_t>(seconds);
    result.tv_nsec = static_cast<long>(ticks * 100);
    return true;
}

} // namespace

OutputFile::~OutputFile()
{
    close();
}

bool OutputFile::create(const std::string& path)
{
    close();
    // Never follow a link planted under the name; the folder is private, so this
    // only guards against surprises.
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return false;
    handle = fd;
    return true;
}

bool OutputFile::write(const std::uint8_t* data, std::size_t size)
{
    while (size > 0) {
        const ssize_t done = ::write(static_cast<int>(handle), data, size);
        if (done < 0 && errno == EINTR)
            continue;
        if (done <= 0)
            return false;
        data += done;
        size -= static_cast<std::size_t>(done);
    }
    return true;
}

bool OutputFile::setTimes(std::uint64_t, std::uint64_t lastAccess, std::uint64_t lastWrite)
{
    // POSIX has no settable creation time; the other two are kept to 100 ns.
    timespec times[2] {};
    if (!toTimespec(lastAccess, times[0]) || !toTimespec(lastWrite, times[1]))
        return false;
    return ::futimens(static_cast<int>(handle), times) == 0;
}

bool OutputFile::close()
{
    if (handle < 0)
        return true;
    const int result = ::close(static_cast<int>(handle));
    handle = -1;
    return result == 0;
}

} // namespace setupstub
