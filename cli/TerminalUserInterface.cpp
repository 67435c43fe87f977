#include "TerminalUserInterface.h"

#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <csignal>
#include <iostream>
#include <iterator>

#include "core/Win1252.h"

namespace tessarel::cli {
namespace {

// A password line is bounded; anything longer is not a password anyone typed.
constexpr std::size_t kMaxLine = 4096;

// What a signal that ends the program while echo is off puts back: the terminal would otherwise
// stay silent for whatever the user types next (in the shell, too).
termios restoreOnSignal{};
volatile sig_atomic_t restorePending = 0;
constexpr int kEndingSignals[] = {SIGINT, SIGTERM, SIGQUIT, SIGHUP};

extern "C" void RestoreTerminalAndEnd(int signal) {
    if (restorePending != 0) ::tcsetattr(STDIN_FILENO, TCSANOW, &restoreOnSignal);
    // The signal is blocked while its handler runs: raised again under the default action, it
    // ends the program as it would have, once the handler returns.
    struct sigaction fallback {};
    fallback.sa_handler = SIG_DFL;
    ::sigaction(signal, &fallback, nullptr);
    ::raise(signal);
}

class EchoOff {
public:
    EchoOff() {
        if (::tcgetattr(STDIN_FILENO, &saved) != 0) return;
        restoreOnSignal = saved;
        restorePending = 1;
        InstallHandlers();
        termios quiet = saved;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        active = ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet) == 0;
    }
    ~EchoOff() {
        if (active) ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved);
        restorePending = 0;
        for (std::size_t i = 0; i < std::size(kEndingSignals); ++i) {
            if (installed[i]) ::sigaction(kEndingSignals[i], &previous[i], nullptr);
        }
    }
    EchoOff(const EchoOff&) = delete;
    EchoOff& operator=(const EchoOff&) = delete;

private:
    void InstallHandlers() {
        struct sigaction handler {};
        handler.sa_handler = RestoreTerminalAndEnd;
        ::sigemptyset(&handler.sa_mask);
        for (std::size_t i = 0; i < std::size(kEndingSignals); ++i) {
            // A signal the caller ignores (nohup) stays ignored.
            if (::sigaction(kEndingSignals[i], nullptr, &previous[i]) != 0 || previous[i].sa_handler == SIG_IGN) continue;
            installed[i] = ::sigaction(kEndingSignals[i], &handler, nullptr) == 0;
        }
    }

    termios saved{};
    bool active = false;
    struct sigaction previous[std::size(kEndingSignals)] {};
    bool installed[std::size(kEndingSignals)] = {};
};

}  // namespace

TerminalUserInterface::TerminalUserInterface() : interactive(::isatty(STDIN_FILENO) == 1) {}

MessageAnswer TerminalUserInterface::ShowMessage(const Message& message) {
    std::cerr << Win1252ToUtf8(message.text) << std::endl;
    switch (message.buttons) {
        case MessageButtons::Ok: return MessageAnswer::Ok;
        case MessageButtons::OkCancel: return MessageAnswer::Cancel;
        case MessageButtons::YesNo:
        case MessageButtons::YesNoCancel: return MessageAnswer::No;
    }
    return MessageAnswer::Ok;
}

std::optional<SecureString> TerminalUserInterface::ReadLine(bool echo) {
    SecureString line;
    int c;
    {
        std::optional<EchoOff> quiet;
        if (interactive && !echo) quiet.emplace();
        bool tooLong = false;
        while ((c = std::getchar()) != EOF && c != '\n') {
            // Keep draining the line, but never use a cut one: a shortened password would
            // encrypt a file with a key other than the one the user gave.
            if (line.size() >= kMaxLine) {
                tooLong = true;
                continue;
            }
            line.push_back(static_cast<char>(c));
        }
        if (tooLong) {
            if (interactive && !echo) std::cerr << std::endl;
            std::cerr << "The password is longer than " << kMaxLine << " bytes; it was not used." << std::endl;
            refused = true;
            return std::nullopt;
        }
    }
    if (interactive && !echo) std::cerr << std::endl;
    if (c == EOF && line.empty()) return std::nullopt;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

std::optional<std::string> TerminalUserInterface::ReadPassword(const std::string& prompt) {
    if (interactive) std::cerr << Win1252ToUtf8(prompt) << ": " << std::flush;
    const auto line = ReadLine(false);
    if (!line) return std::nullopt;
    // Terminals speak UTF-8; card passwords are Windows-1252 bytes. The caller wipes the result.
    auto bytes = Utf8ToWin1252(*line);
    if (!bytes) {
        std::cerr << "The password holds a character that cannot be used." << std::endl;
        refused = true;
        return std::nullopt;
    }
    return bytes;
}

std::optional<std::string> TerminalUserInterface::AskPassword(const std::string& title) { return ReadPassword(title); }

}  // namespace tessarel::cli
