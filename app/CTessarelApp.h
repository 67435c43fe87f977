#pragma once
// The application object: start-up in its fixed order (command line, settings, the three
// templates, file types, main frame, flags, start-up actions, splash), and the About command.

#include <QFileInfo>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

#include "CommandLineInfo.h"
#include "FileTypeRegistration.h"
#include "core/UserInterface.h"
#include "framework/Application.h"

namespace tessarel {

class CMainFrame;
class DocTemplate;
class GuiUserInterface;
class ShellOpenServer;
namespace browser {
class DdeInstance;
}

class CTessarelApp : public Application {
    Q_OBJECT
public:
    CTessarelApp();
    ~CTessarelApp() override;

    // Runs start-up with the program's arguments (without the program name). True: run the
    // event loop; false: the program ends now.
    bool InitInstance(const QStringList& arguments);

    DocTemplate* PlainCardTemplate() const { return plainTemplate; }
    DocTemplate* EncryptedCardTemplate() const { return encryptedTemplate; }
    DocTemplate* FileViewTemplate() const { return fileViewTemplate; }
    DocTemplate* SealedCardTemplate() const { return sealedTemplate; }
    CMainFrame* MainFrame() const { return frame; }
    const CommandLineInfo& CommandLine() const { return commandLine; }
    ShellOpenServer* ShellServer() const { return shellServer.get(); }

    // Prints a card file without a dialog, as the shell's print requests and the "p" and "pt"
    // flags ask: a file already open is printed as it stands and stays open; any other is opened,
    // printed and closed. A locked file is not printed. `printer` empty: the default printer.
    // Returns the pages printed, -1 when the file could not be opened or nothing could be written.
    int PrintFile(const QString& path, const QString& printer);

    // The document types the desktop is told about, in the document manager's order; makes the
    // templates when start-up has not yet.
    std::vector<FileTypeEntry> FileTypes();

    // Where the file types are registered (empty: the user's XDG data directory).
    void SetDataHome(const QString& folder) { dataHome = folder; }
    // The program path written into the desktop entry.
    void SetProgramPath(const QString& path) { programPath = path; }

    static constexpr const char* kPlainStrings = "\nUntitled\nQuendal\nNot Encrypted Quendal. File (*.qdf)\n.qdf\nQuendal.Document\nQuendal Document";
    static constexpr const char* kEncryptedStrings = "\nUntitled\n\nEncrypted Quendal. File (*.qde)\n.qde\nQuendalEncr.Document\nQuendalEncrypted Document";
    static constexpr const char* kFileViewStrings = "\n\n\nEncrypted File (*.~~~)\n.~~~\nEncrypted\nEncrypted File";
    static constexpr const char* kSealedStrings =
        "\nUntitled\n\nStrong Encrypted Quendal. File (*.qdx)\n.qdx\nQuendalSealed.Document\nQuendalSealed Document";

    static constexpr const char* kShellPrintQuestion =
        "Another program asks to print the open card file \"%1\", with its passwords in clear.\n\nPrint it?";
    // Said instead of printing when another program asks to print a locked card file.
    static constexpr const char* kShellPrintLocked = "%1 is locked. Unlock it to print it.";

private:
    QString ProgramPath() const;
    bool StartConversations();
    bool HandOverToRunningInstance();
    void OpenFromShell(const QString& path);
    // A shell print request: a document already open is printed only when the person agrees.
    void PrintFromShell(const QString& path, const QString& printer);
    bool ConfirmShellPrint(const QString& path) const;
    // True (and the person told) when `document` is locked and so is not printed.
    bool RefusedAsLocked(const Document& document) const;
    bool IsLocked(const Document& document) const;
    MessageAnswer ShowShellMessage(const QString& text, MessageButtons buttons, MessageIcon icon) const;
    void BringFrameForward() const;
    // The open document whose file is `path`, or nullptr.
    Document* OpenDocumentAt(const QString& path);
    static bool SameFile(const QFileInfo& one, const QFileInfo& other);
    void CreateTemplates();
    void RegisterFileTypes();
    bool RunShellCommand();

    DocTemplate* plainTemplate = nullptr;
    DocTemplate* encryptedTemplate = nullptr;
    DocTemplate* fileViewTemplate = nullptr;
    DocTemplate* sealedTemplate = nullptr;
    CMainFrame* frame = nullptr;
    CommandLineInfo commandLine;
    QString dataHome;
    QString programPath;
    std::unique_ptr<GuiUserInterface> conversationUi;
    std::unique_ptr<browser::DdeInstance> dde;
    std::unique_ptr<ShellOpenServer> shellServer;
};

}  // namespace tessarel
