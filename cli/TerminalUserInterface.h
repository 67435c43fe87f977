#pragma once
// The command-line face of the core's user-interface seam: messages go to standard error exactly
// as the program words them; passwords come from the terminal without echo, or from standard
// input line by line when it is not a terminal.

#include <cstdio>
#include <optional>
#include <string>

#include "core/SecureBuffer.h"
#include "core/UserInterface.h"

namespace tessarel::cli {

class TerminalUserInterface : public UserInterface {
public:
    TerminalUserInterface();

    MessageAnswer ShowMessage(const Message& message) override;
    std::optional<std::string> AskPassword(const std::string& title) override;

    // Reads one password the same way, with a prompt of our own. The caller wipes it (WipeString).
    std::optional<std::string> ReadPassword(const std::string& prompt);
    // A password line was refused (too long, or a character card files cannot hold) and the
    // reason already shown: callers stop rather than go on without a password.
    bool Refused() const { return refused; }

private:
    // The line is kept where it is wiped when released: it is a password more often than not.
    std::optional<SecureString> ReadLine(bool echo);
    bool interactive;
    bool refused = false;
};

}  // namespace tessarel::cli
