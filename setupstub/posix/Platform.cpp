#include "../Platform.h"

#include <cstdio>
#include <cstdlib>
#include <spawn.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace setupstub::platform {

char pathSeparator()
{
    return '/';
}

std::string ownProgramPath()
{
    std::vector<char> buffer(256);
    for (;;) {
        const ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (length < 0)
            return {};
        if (static_cast<std::size_t>(length) < buffer.size())
            return std::string(buffer.data(), static_cast<std::size_t>(length));
        if (buffer.size() >= 65536)
            return {};
        buffer.resize(buffer.size() * 2);
    }
}

std::size_t processorCount()
{
    const long count = ::sysconf(_SC_NPROCESSORS_ONLN);
    return count > 0 ? static_cast<std::size_t>(count) : 1;
}

std::string temporaryFolder()
{
    const char* fromEnvironment = std::getenv("TMPDIR");
    std::string folder = fromEnvironment && *fromEnvironment ? fromEnvironment : "/tmp";
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    return folder;
}

std::string createPrivateFolder(const std::string& parent, const char* prefix)
{
    // mkdtemp makes a fresh folder with mode 0700 in one step, failing rather than
    // reusing a name that someone else created first.
    std::string pattern = parent + pathSeparator() + prefix + "XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    if (::mkdtemp(name.data()) == nullptr)
        return {};
    return std::string(name.data());
}

bool setAttributes(const std::string& path, std::uint32_t attributes, bool program)
{
    constexpr std::uint32_t readOnly = 0x01;
    mode_t mode = program ? 0755 : 0644;
    if (attributes & readOnly)
        mode &= static_cast<mode_t>(~0222);
    return ::chmod(path.c_str(), mode) == 0;
}

bool startProgram(const std::string& path)
{
    std::vector<char> program(path.begin(), path.end());
    program.push_back('\0');
    char* arguments[] = {program.data(), nullptr};
    pid_t child = 0;
    // The child outlives the stub, which does not wait for it.
    return ::posix_spawn(&child, program.data(), nullptr, nullptr, arguments, environ) == 0;
}

void showError(const char* caption, const char* message)
{
    std::fprintf(stderr, "%s: %s\n", caption, message);
    std::fflush(stderr);
}

} // namespace setupstub::platform
