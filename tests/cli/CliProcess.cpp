#include "CliProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#ifndef TESSAREL_CLI_PATH
#error "TESSAREL_CLI_PATH names the tessarel-cli binary under test"
#endif

namespace tessarel::testing {
namespace {

void Drain(int& fd, std::string& into) {
    char buffer[65536];
    const ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got > 0) {
        into.append(buffer, static_cast<std::size_t>(got));
    } else if (got == 0 || errno != EINTR) {
        ::close(fd);
        fd = -1;
    }
}

}  // namespace

CliRun RunCli(const std::vector<std::string>& arguments, const std::string& input, const std::map<std::string, std::string>& environment) {
    int in[2], out[2], err[2];
    if (::pipe(in) != 0 || ::pipe(out) != 0 || ::pipe(err) != 0) return {};
    const pid_t child = ::fork();
    if (child == 0) {
        ::dup2(in[0], STDIN_FILENO);
        ::dup2(out[1], STDOUT_FILENO);
        ::dup2(err[1], STDERR_FILENO);
        for (int fd : {in[0], in[1], out[0], out[1], err[0], err[1]}) ::close(fd);
        for (const auto& [name, value] : environment) ::setenv(name.c_str(), value.c_str(), 1);
        std::vector<char*> argv{const_cast<char*>(TESSAREL_CLI_PATH)};
        for (const auto& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        ::execv(TESSAREL_CLI_PATH, argv.data());
        ::_exit(127);
    }
    ::close(in[0]);
    ::close(out[1]);
    ::close(err[1]);
    // The input is a password line or two: far below the pipe's capacity.
    ::signal(SIGPIPE, SIG_IGN);
    if (!input.empty()) [[maybe_unused]] auto written = ::write(in[1], input.data(), input.size());
    ::close(in[1]);

    CliRun run;
    int outFd = out[0], errFd = err[0];
    while (outFd >= 0 || errFd >= 0) {
        pollfd fds[2] = {{outFd, POLLIN, 0}, {errFd, POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0 && errno != EINTR) break;
        if (outFd >= 0 && (fds[0].revents & (POLLIN | POLLHUP | POLLERR))) Drain(outFd, run.out);
        if (errFd >= 0 && (fds[1].revents & (POLLIN | POLLHUP | POLLERR))) Drain(errFd, run.err);
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    run.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

}  // namespace tessarel::testing
