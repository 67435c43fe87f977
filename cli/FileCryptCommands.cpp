// The single-file commands of tessarel-cli: encrypt-file and decrypt-file. They run the same
// operations, rules and messages as the file encryption view; on success the new file's path goes
// to standard output.

#include <unistd.h>

#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "CliCommand.h"
#include "TerminalUserInterface.h"
#include "filecrypt/FileEncryptionMessages.h"
#include "filecrypt/FileEncryptionOperations.h"
#include "filecrypt/FileEncryptionState.h"
#include "filecrypt/FilePasswordSource.h"

namespace tessarel::cli {
namespace {

namespace msg = filecrypt_messages;

constexpr const char* kEncryptUsage = "encrypt-file PATH";
constexpr const char* kDecryptUsage = "decrypt-file PATH";

// Passes messages to the terminal and counts them, so the tool knows whether the core has already
// said why it stopped.
class CountingUserInterface : public UserInterface {
public:
    explicit CountingUserInterface(UserInterface& inner_) : inner(inner_) {}
    MessageAnswer ShowMessage(const Message& message) override {
        ++shown;
        return inner.ShowMessage(message);
    }
    std::optional<std::string> AskPassword(const std::string& title) override { return inner.AskPassword(title); }
    void Say(std::string_view text) { ShowMessage(Message{std::string(text), {}, MessageButtons::Ok, MessageIcon::None, MessageOwner::MainWindow}); }
    int shown = 0;

private:
    UserInterface& inner;
};

SecureString Secure(std::string& text) {
    SecureString secure(text.begin(), text.end());
    WipeString(text);
    return secure;
}

// At a terminal the two entries are typed like the dialog's two fields, and a mismatch asks again.
// From a pipe the first line serves as both entries; there is no second chance.
class TerminalPasswordSource : public CFilePasswordSource {
public:
    explicit TerminalPasswordSource(TerminalUserInterface& terminal_)
        : terminal(terminal_), interactive(::isatty(STDIN_FILENO) == 1) {}

    std::optional<FilePasswordEntries> AskFilePassword(const SecureString&) override {
        if (!interactive) {
            if (asked) return std::nullopt;
            asked = true;
            auto line = terminal.ReadPassword("");
            if (!line) return std::nullopt;
            SecureString entry = Secure(*line);
            return FilePasswordEntries{entry, entry};
        }
        auto first = terminal.ReadPassword("Enter your password (key)");
        if (!first) return std::nullopt;
        auto second = terminal.ReadPassword("Enter your password (key) again");
        if (!second) return std::nullopt;
        return FilePasswordEntries{Secure(*first), Secure(*second)};
    }

private:
    TerminalUserInterface& terminal;
    bool interactive;
    bool asked = false;
};

// The operations expect a full path, as the file list gives them.
std::string FullPath(const std::string& argument) {
    std::error_code error;
    std::filesystem::path path = std::filesystem::absolute(argument, error);
    if (error) return argument;
    // "." components are dropped; ".." is kept, since resolving it by text could name another file
    // when a folder on the way is a link.
    bool hasParentStep = false;
    for (const auto& part : path) hasParentStep = hasParentStep || part == "..";
    return hasParentStep ? path.string() : path.lexically_normal().string();
}

// The file list's checks decide whether the command may run at all.
bool CommandApplies(CFileEncryptionOperations& operations, CountingUserInterface& ui, const std::string& path, bool encrypt) {
    if (!operations.CheckFileAccess(path)) {
        if (ui.shown == 0) ui.Say(msg::kCouldNotOpenFile);
        return false;
    }
    const bool encrypted = operations.IsEncryptedFile(path);
    if (ui.shown != 0) return false;
    if (encrypt && encrypted) {
        std::cerr << path << " is already an encrypted file." << std::endl;
        return false;
    }
    if (!encrypt && !encrypted) {
        std::cerr << path << " is not an encrypted file." << std::endl;
        return false;
    }
    if (encrypt && !operations.HasContent(path)) {
        if (ui.shown == 0) ui.Say(msg::kFileEmptyCannotEncrypt);
        return false;
    }
    return true;
}

int Run(const std::vector<std::string>& arguments, bool encrypt) {
    if (arguments.size() != 1 || arguments[0].empty()) return UsageError(encrypt ? kEncryptUsage : kDecryptUsage);
    const std::string path = FullPath(arguments[0]);

    TerminalUserInterface terminal;
    CountingUserInterface ui(terminal);
    CFileEncryptionState state;
    CFileEncryptionOperations operations(state, ui);
    if (!CommandApplies(operations, ui, path, encrypt)) return kExitFailed;
    state.selectedFilePath = path;
    state.selectedIsPlain = encrypt;
    state.selectedIsEncrypted = !encrypt;

    TerminalPasswordSource source(terminal);
    operations.SetFilePassword(source);
    if (!state.filePasswordSet) {
        if (ui.shown == 0) std::cerr << "No file encryption password was given." << std::endl;
        return kExitFailed;
    }

    const auto result = encrypt ? operations.EncryptSelectedFile() : operations.DecryptSelectedFile();
    if (result == CFileEncryptionOperations::Result::Failed) return kExitFailed;
    // Also when the old file could not be deleted: the new one is complete and named here, the
    // message about the old one has gone to standard error, and the status says not all went well.
    std::cout << state.selectedFilePath << std::endl;
    return result == CFileEncryptionOperations::Result::Done ? kExitSuccess : kExitFailed;
}

int EncryptFile(const std::vector<std::string>& arguments) { return Run(arguments, true); }
int DecryptFile(const std::vector<std::string>& arguments) { return Run(arguments, false); }

}  // namespace

void RegisterFileCryptCommands(std::vector<CliCommand>& commands) {
    commands.push_back({"encrypt-file", kEncryptUsage, &EncryptFile});
    commands.push_back({"decrypt-file", kDecryptUsage, &DecryptFile});
}

}  // namespace tessarel::cli
