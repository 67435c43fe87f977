// stubpack: appends an archive of files to the installer stub and fills in its patch
// record. A developer tool; the tests build their archives with it.

#include "ArchiveBuilder.h"
#include "LzssEncoder.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

using stubpack::ArchiveBuilder;
using stubpack::PackEntry;

namespace {

constexpr std::uint64_t maxInputSize = 0xFFFFFFFFull; // positions are 32-bit

const char usage[] =
    "usage: stubpack STUB OUTPUT [ENTRY-OPTIONS] FILE [[ENTRY-OPTIONS] FILE ...]\n"
    "The first FILE becomes the second stage (velotte.exe), the others 00000001, ...\n"
    "Entry options apply to the next FILE only:\n"
    "  --attributes N  Windows attribute bits (default 0x20)\n"
    "  --created FT    creation time as a FILETIME (default: the last write time)\n"
    "  --accessed FT   last access time (default: the file's own)\n"
    "  --written FT    last write time (default: the file's own)\n"
    "  --raw           FILE already holds the compressed stream\n";

bool readWholeFile(const std::string& path, std::vector<std::uint8_t>& data, struct stat& info)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0 || ::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)
        || static_cast<std::uint64_t>(info.st_size) > maxInputSize) {
        if (fd >= 0)
            ::close(fd);
        return false;
    }
    data.resize(static_cast<std::size_t>(info.st_size));
    std::size_t got = 0;
    while (got < data.size()) {
        const ssize_t n = ::read(fd, data.data() + got, data.size() - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        got += static_cast<std::size_t>(n);
    }
    ::close(fd);
    data.resize(got); // a file that shrank while read gives what was there
    return true;
}

// Writes beside the target and renames over it only when complete.
bool writeAtomically(const std::string& path, const std::vector<std::uint8_t>& data)
{
    std::string temporary = path + ".XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0)
        return false;
    bool ok = true;
    for (std::size_t done = 0; ok && done < data.size();) {
        const ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        ok = n > 0;
        if (ok)
            done += static_cast<std::size_t>(n);
    }
    ok = ok && ::fchmod(fd, 0755) == 0 && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    if (ok && ::rename(temporary.c_str(), path.c_str()) == 0)
        return true;
    ::unlink(temporary.c_str());
    return false;
}

std::uint64_t toFileTime(const timespec& time)
{
    constexpr std::int64_t epochDifference = 11644473600LL;
    const std::int64_t ticks = (static_cast<std::int64_t>(time.tv_sec) + epochDifference) * 10000000LL
        + time.tv_nsec / 100;
    return ticks < 0 ? 0 : static_cast<std::uint64_t>(ticks);
}

bool parseNumber(const char* text, std::uint64_t maximum, std::uint64_t& value)
{
    errno = 0;
    char* end = nullptr;
    const unsigned long long parsed = std::strtoull(text, &end, 0);
    if (errno != 0 || end == text || *end != '\0' || text[0] == '-' || parsed > maximum)
        return false;
    value = parsed;
    return true;
}

struct PendingOptions {
    bool raw = false;
    bool hasAttributes = false, hasCreated = false, hasAccessed = false, hasWritten = false;
    std::uint64_t attributes = 0x20, created = 0, accessed = 0, written = 0;
};

bool makeEntry(const std::string& path, const PendingOptions& options, PackEntry& entry)
{
    std::vector<std::uint8_t> content;
    struct stat info {};
    if (!readWholeFile(path, content, info)) {
        std::fprintf(stderr, "stubpack: cannot read %s\n", path.c_str());
        return false;
    }
    entry.compressed = options.raw ? std::move(content) : stubpack::LzssEncoder::encode(content);
    entry.attributes = static_cast<std::uint32_t>(options.attributes);
    entry.lastWriteTime = options.hasWritten ? options.written : toFileTime(info.st_mtim);
    entry.lastAccessTime = options.hasAccessed ? options.accessed : toFileTime(info.st_atim);
    entry.creationTime = options.hasCreated ? options.created : entry.lastWriteTime;
    return true;
}

// Handles one entry option at argv[i] (advancing past its value); false on a bad one.
bool takeOption(int argc, char** argv, int& i, PendingOptions& options)
{
    const std::string name = argv[i];
    if (name == "--raw") {
        options.raw = true;
        return true;
    }
    struct Numeric {
        const char* name;
        std::uint64_t* value;
        bool* seen;
        std::uint64_t maximum;
    };
    const Numeric numeric[] = {
        {"--attributes", &options.attributes, &options.hasAttributes, 0xFFFFFFFFull},
        {"--created", &options.created, &options.hasCreated, ~0ull},
        {"--accessed", &options.accessed, &options.hasAccessed, ~0ull},
        {"--written", &options.written, &options.hasWritten, ~0ull},
    };
    for (const Numeric& option : numeric) {
        if (name != option.name)
            continue;
        if (i + 1 >= argc || !parseNumber(argv[i + 1], option.maximum, *option.value)) {
            std::fprintf(stderr, "stubpack: %s needs a number\n", option.name);
            return false;
        }
        *option.seen = true;
        ++i;
        return true;
    }
    std::fprintf(stderr, "stubpack: unknown option %s\n%s", name.c_str(), usage);
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 4) {
        std::fputs(usage, stderr);
        return 2;
    }
    std::vector<PackEntry> entries;
    PendingOptions options;
    for (int i = 3; i < argc; ++i) {
        if (std::strncmp(argv[i], "--", 2) == 0) {
            if (!takeOption(argc, argv, i, options))
                return 2;
            continue;
        }
        PackEntry entry;
        if (!makeEntry(argv[i], options, entry))
            return 1;
        entries.push_back(std::move(entry));
        options = PendingOptions {};
    }

    std::vector<std::uint8_t> stub;
    struct stat info {};
    if (!readWholeFile(argv[1], stub, info)) {
        std::fprintf(stderr, "stubpack: cannot read the stub %s\n", argv[1]);
        return 1;
    }
    std::string error;
    const std::vector<std::uint8_t> packed = ArchiveBuilder::build(stub, entries, error);
    if (packed.empty()) {
        std::fprintf(stderr, "stubpack: %s\n", error.c_str());
        return 1;
    }
    if (!writeAtomically(argv[2], packed)) {
        std::fprintf(stderr, "stubpack: cannot write %s: %s\n", argv[2], std::strerror(errno));
        return 1;
    }
    return 0;
}
