// The password prompt at a real terminal: tessarel-cli runs on a pseudo-terminal as its
// controlling terminal, and Ctrl+C typed at the prompt (echo off) must leave the terminal with
// echo on again, or the user's next typing would be invisible.

#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>

#include "CliTestSupport.h"

namespace tessarel::testing {
namespace {

// The child's side of the terminal stays open here too, so its settings can be read after the
// child is gone.
class PseudoTerminal {
public:
    PseudoTerminal() { ok = ::openpty(&master, &slave, nullptr, nullptr, nullptr) == 0; }
    ~PseudoTerminal() {
        if (master >= 0) ::close(master);
        if (slave >= 0) ::close(slave);
    }
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    // Runs tessarel-cli with this terminal as its controlling terminal and all three streams.
    pid_t Run(const std::vector<std::string>& arguments) const {
        const pid_t child = ::fork();
        if (child != 0) return child;
        ::setsid();
        ::ioctl(slave, TIOCSCTTY, 0);
        for (int stream : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) ::dup2(slave, stream);
        ::close(master);
        std::vector<char*> argv{const_cast<char*>(TESSAREL_CLI_PATH)};
        for (const auto& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        ::execv(TESSAREL_CLI_PATH, argv.data());
        ::_exit(127);
    }

    // Reads what the child printed until `text` appears or ten seconds pass.
    bool WaitFor(const std::string& text) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (seen.find(text) == std::string::npos && std::chrono::steady_clock::now() < end) {
            pollfd ready{master, POLLIN, 0};
            if (::poll(&ready, 1, 100) <= 0) continue;
            char buffer[4096];
            const ssize_t got = ::read(master, buffer, sizeof buffer);
            if (got > 0) seen.append(buffer, static_cast<std::size_t>(got));
        }
        return seen.find(text) != std::string::npos;
    }

    bool Echoes() const {
        termios settings{};
        return ::tcgetattr(slave, &settings) == 0 && (settings.c_lflag & ECHO) != 0;
    }

    // The prompt is printed just before echo goes off: waits for that.
    bool WaitForEchoOff() const {
        for (int i = 0; i < 1000 && Echoes(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
        return !Echoes();
    }

    bool Type(const std::string& text) const {
        return ::write(master, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    }

    bool ok = false;
    std::string seen;

private:
    int master = -1;
    int slave = -1;
};

TEST(CliTerminal, CtrlCAtThePasswordPromptTurnsEchoBackOn) {
    TempDir dir;
    const std::string path = dir.File("cards.qde");
    WriteBytes(path, EncryptedCardFile({}, 0, "secret"));
    PseudoTerminal terminal;
    ASSERT_TRUE(terminal.ok);
    ASSERT_TRUE(terminal.Echoes());
    const pid_t child = terminal.Run({"ls", path});
    ASSERT_GT(child, 0);
    ASSERT_TRUE(terminal.WaitFor("Decryption Password for file: cards.qde: ")) << terminal.seen;
    ASSERT_TRUE(terminal.WaitForEchoOff());
    ASSERT_TRUE(terminal.Type("sec\x03"));  // the terminal's interrupt character: SIGINT to the child
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGINT) << "status " << status;
    EXPECT_TRUE(terminal.Echoes());
}

}  // namespace
}  // namespace tessarel::testing
