#include "ProcessRunner.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace {

int memoryFileWith(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const int fd = ::memfd_create("stub", MFD_CLOEXEC);
    if (fd < 0 || bytes.empty() || ::write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()))
        return -1;
    return fd;
}

} // namespace

ProcessResult ProcessRunner::run(const std::vector<std::string>& arguments, const ProcessOptions& options)
{
    ProcessResult result;
    char errorName[] = "/tmp/setupstub-stderr-XXXXXX";
    const int errorFile = ::mkstemp(errorName);
    if (errorFile < 0)
        return result;
    ::unlink(errorName);

    std::vector<std::string> environment;
    for (char** entry = environ; *entry; ++entry)
        environment.emplace_back(*entry);
    for (const auto& [name, value] : options.environment)
        environment.push_back(name + "=" + value);
    std::vector<char*> envp;
    for (std::string& entry : environment)
        envp.push_back(entry.data());
    envp.push_back(nullptr);
    std::vector<std::string> args(arguments);
    std::vector<char*> argv;
    for (std::string& argument : args)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    const int memoryFile = options.runFromMemoryFile ? memoryFileWith(arguments.at(0)) : -1;

    const pid_t child = ::fork();
    if (child == 0) {
        ::dup2(errorFile, 2);
        if (options.fileSizeLimit) {
            const rlimit limit {options.fileSizeLimit, options.fileSizeLimit};
            ::setrlimit(RLIMIT_FSIZE, &limit);
            ::signal(SIGXFSZ, SIG_IGN); // writes past the limit fail with EFBIG instead
        }
        if (options.runFromMemoryFile)
            ::fexecve(memoryFile, argv.data(), envp.data());
        else
            ::execve(argv[0], argv.data(), envp.data());
        ::_exit(127);
    }
    if (memoryFile >= 0)
        ::close(memoryFile);
    int status = 0;
    while (child > 0 && ::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (child > 0 && WIFEXITED(status))
        result.exitStatus = WEXITSTATUS(status);

    ::lseek(errorFile, 0, SEEK_SET);
    char buffer[4096];
    ssize_t got = 0;
    while ((got = ::read(errorFile, buffer, sizeof buffer)) > 0 && result.standardError.size() < 65536)
        result.standardError.append(buffer, static_cast<std::size_t>(got));
    ::close(errorFile);
    return result;
}

bool ProcessRunner::adoptOrphans()
{
    return ::prctl(PR_SET_CHILD_SUBREAPER, 1, 0, 0, 0) == 0;
}

bool ProcessRunner::waitForDescendants(std::chrono::milliseconds patience)
{
    const auto deadline = std::chrono::steady_clock::now() + patience;
    for (;;) {
        int status = 0;
        const pid_t ended = ::waitpid(-1, &status, WNOHANG);
        if (ended < 0 && errno == ECHILD)
            return true;
        if (ended > 0 || (ended < 0 && errno == EINTR))
            continue;
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}
