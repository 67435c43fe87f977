#include "CTessarelApp.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QTimer>

#include "CAboutDialog.h"
#include "CPrefPropertySheet.h"
#include "CSplashWindow.h"
#include "FileTypeRegistration.h"
#include "ShellOpenServer.h"
#include "browser/DdeInstance.h"
#include "core/Win1252.h"
#include "framework/DialogHost.h"
#include "framework/CommandIds.h"
#include "framework/DocTemplate.h"
#include "framework/Printing.h"
#include "framework/Settings.h"
#include "mainframe/BrowserWaitNotice.h"
#include "mainframe/CChildFrmFileView.h"
#include "mainframe/CChildFrame.h"
#include "mainframe/CMainFrame.h"
#include "cardstore/document/CTessarelDoc.h"
#include "mainframe/LockController.h"
#include "mainframe/dialogs/GuiUserInterface.h"
#include "resources/ResourceIds.h"
#include "resources/Resources.h"
#include "views/CTessarelView.h"

namespace tessarel {

CTessarelApp::CTessarelApp() : Application(QStringLiteral("Tessarel")) {
    LoadResources();
    Register(CommandTable{
        CommandRow::Always(cmd::AppAbout, [this] {
            CAboutDialog dialog([this](std::string_view address) {
                if (frame) frame->OpenAddressInBrowser(address);
            });
            dialog.DoModal();
        }),
        CommandRow::Always(cmd::FilePrintSetup, [this] { RunPrintSetup(frame); }),
    });
}

CTessarelApp::~CTessarelApp() {
    delete frame;
    CTessarelDoc::SetCardTemplates(nullptr, nullptr);
    CTessarelDoc::SetSealedTemplate(nullptr);
}

void CTessarelApp::CreateTemplates() {
    if (!GetDocManager().GetTemplates().empty()) return;
    auto documents = [] { return std::unique_ptr<Document>(new CTessarelDoc); };
    auto cardFrames = [](Document& document) -> ChildFrame* { return new CChildFrame(document, *document.GetDocTemplate()); };
    // A "~~~" file opened as a document is shown in the file encryption view.
    auto fileViewFrames = [](Document& document) -> ChildFrame* { return new CChildFrmFileView(document, *document.GetDocTemplate()); };
    DocManager& manager = GetDocManager();
    encryptedTemplate = manager.AddDocTemplate(
        std::make_unique<DocTemplate>(res::MenuEncryptedCard, QString::fromLatin1(kEncryptedStrings), documents, cardFrames));
    fileViewTemplate = manager.AddDocTemplate(
        std::make_unique<DocTemplate>(res::MenuFileView, QString::fromLatin1(kFileViewStrings), documents, fileViewFrames));
    // Every name ending in "~~~" is an encrypted single file (page.html is encrypted to page.h~~~),
    // not only those ending in the registered ".~~~".
    fileViewTemplate->SetPathMatcher([](const QString& path) { return path.endsWith(QLatin1String("~~~")); });
    plainTemplate = manager.AddDocTemplate(
        std::make_unique<DocTemplate>(res::MenuPlainCard, QString::fromLatin1(kPlainStrings), documents, cardFrames));
    CTessarelDoc::SetCardTemplates(plainTemplate, encryptedTemplate);
    // The sealed card file comes after the three older types, whose order the Open dialog's
    // filters and the registered icons follow.
    sealedTemplate = manager.AddDocTemplate(
        std::make_unique<DocTemplate>(res::MenuSealedCard, QString::fromLatin1(kSealedStrings), documents, cardFrames));
    CTessarelDoc::SetSealedTemplate(sealedTemplate);
}

QString CTessarelApp::ProgramPath() const {
    return programPath.isEmpty() ? QCoreApplication::applicationFilePath() : programPath;
}

std::vector<FileTypeEntry> CTessarelApp::FileTypes() {
    CreateTemplates();
    std::vector<const DocTemplate*> templates;
    for (const auto& docTemplate : GetDocManager().GetTemplates()) templates.push_back(docTemplate.get());
    return FileTypeRegistration::EntriesOf(templates);
}

void CTessarelApp::RegisterFileTypes() { FileTypeRegistration(dataHome).Register(FileTypes(), ProgramPath()); }

bool CTessarelApp::StartConversations() {
    conversationUi = std::make_unique<GuiUserInterface>();
    dde = std::make_unique<browser::DdeInstance>(*conversationUi);
    if (!dde->IsValid()) {
        dde.reset();
        Dialogs().ShowMessage(Message{"DDE initialization failed.  Unable to continue.", {}, MessageButtons::Ok,
                                      MessageIcon::Error, MessageOwner::None});
        return false;
    }
    shellServer = std::make_unique<ShellOpenServer>(ShellOpenServer::ServiceNameOf(ProgramPath()),
                                                    [this](const QString& path) { OpenFromShell(path); },
                                                    [this](const QString& path, const QString& printer) { PrintFromShell(path, printer); });
    return true;
}

bool CTessarelApp::HandOverToRunningInstance() {
    if (commandLine.shell != CommandLineInfo::Shell::Dde || commandLine.fileName.isEmpty()) return false;
    QString path = QFileInfo(commandLine.fileName).absoluteFilePath();
    switch (shellServer->Offer(ShellOpenServer::OpenCommand(path))) {
        case ShellOpenServer::HandOver::Taken: return true;
        case ShellOpenServer::HandOver::Refused:
            // The running program has answered; a second one would only compete for the file.
            qWarning("tessarel: the running program refused to open %s", qPrintable(path));
            return true;
        case ShellOpenServer::HandOver::NoServer: return false;
    }
    return false;
}

void CTessarelApp::OpenFromShell(const QString& path) {
    // While the person answers a modal dialog the request waits its turn.
    if (QApplication::activeModalWidget()) {
        QTimer::singleShot(200, this, [this, path] { OpenFromShell(path); });
        return;
    }
    BringFrameForward();
    GetDocManager().OpenDocumentFile(path);
}

void CTessarelApp::BringFrameForward() const {
    if (!frame) return;
    if (frame->isMinimized()) frame->showNormal();
    frame->raise();
    frame->activateWindow();
}

void CTessarelApp::PrintFromShell(const QString& path, const QString& printer) {
    if (QApplication::activeModalWidget()) {
        QTimer::singleShot(200, this, [this, path, printer] { PrintFromShell(path, printer); });
        return;
    }
    // Any program of this user can send the request; a document already open needs no password,
    // so without this question a peer could have an open vault written out in clear.
    if (Document* open = OpenDocumentAt(path)) {
        // A locked document holds no cards until the person unlocks it: printing it would print
        // an empty card file in its name, and the person would not learn why.
        if (RefusedAsLocked(*open)) return;
        if (!ConfirmShellPrint(open->GetPathName())) return;
        // The document may have been closed or locked while the question was shown; then
        // nothing is printed.
        open = OpenDocumentAt(path);
        if (!open || RefusedAsLocked(*open)) return;
    }
    PrintFile(path, printer);
}

bool CTessarelApp::ConfirmShellPrint(const QString& path) const {
    const QString text = QString::fromLatin1(kShellPrintQuestion).arg(QDir::toNativeSeparators(path));
    return ShowShellMessage(text, MessageButtons::YesNo, MessageIcon::Question) == MessageAnswer::Yes;
}

bool CTessarelApp::RefusedAsLocked(const Document& document) const {
    if (!IsLocked(document)) return false;
    ShowShellMessage(QString::fromLatin1(kShellPrintLocked).arg(document.GetTitle()), MessageButtons::Ok, MessageIcon::Information);
    return true;
}

bool CTessarelApp::IsLocked(const Document& document) const {
    const auto* cards = dynamic_cast<const CTessarelDoc*>(&document);
    return frame && cards && frame->Locks().IsLocked(*cards);
}

MessageAnswer CTessarelApp::ShowShellMessage(const QString& text, MessageButtons buttons, MessageIcon icon) const {
    // The message comes unasked, so the window it belongs to is brought forward with it.
    BringFrameForward();
    std::vector<char32_t> unshown;
    const Message message{Utf8ToWin1252Replacing(text.toStdString(), '?', unshown), ApplicationTitle().toStdString(), buttons,
                          icon, MessageOwner::MainWindow};
    return Dialogs().ShowMessage(message);
}

Document* CTessarelApp::OpenDocumentAt(const QString& path) {
    if (path.isEmpty()) return nullptr;
    const QFileInfo wanted(QFileInfo(path).absoluteFilePath());
    for (Document* open : GetDocManager().GetDocuments())
        if (!open->GetPathName().isEmpty() && SameFile(QFileInfo(open->GetPathName()), wanted)) return open;
    return nullptr;
}

bool CTessarelApp::SameFile(const QFileInfo& one, const QFileInfo& other) {
    if (one.absoluteFilePath() == other.absoluteFilePath()) return true;
    // Two names of one file (a link) are found through the disk; QFileInfo also takes any two
    // missing files for the same one, so a document whose file was removed would answer for
    // every other missing name.
    return one.exists() && other.exists() && one == other;
}

int CTessarelApp::PrintFile(const QString& path, const QString& printer) {
    if (path.isEmpty()) return -1;
    Document* already = OpenDocumentAt(path);
    // Its cards left memory when it was locked: there is nothing true to print.
    if (already && IsLocked(*already)) return -1;
    Document* document = already ? already : GetDocManager().OpenDocumentFile(QFileInfo(path).absoluteFilePath());
    if (!document) return -1;
    CTessarelView* tree = CTessarelView::CardTreeOf(*document);
    const int pages = tree ? tree->OnFilePrintDirect(printer) : -1;
    // Closing a document the person has open would drop their unsaved changes.
    if (!already) document->OnCloseDocument();
    return pages;
}

bool CTessarelApp::InitInstance(const QStringList& arguments) {
    commandLine = CommandLineInfo::Parse(arguments);
    CSplashWindow::EnableSplashScreen(commandLine.showSplash);
    if (!StartConversations()) return false;
    // A shell open request goes to the program already running, when there is one.
    if (HandOverToRunningInstance()) return false;

    SetSettingsOwner(QStringLiteral("Corvale"), QStringLiteral("Tessarel"));
    GetDocManager().RecentFiles().Load();

    CreateTemplates();
    if (commandLine.shell != CommandLineInfo::Shell::Unregister) {
        RegisterFileTypes();
        shellServer->Listen();
    }

    frame = new CMainFrame;
    frame->SetPreferencesRunner([](QWidget* owner) { CPrefPropertySheet::Run(owner); });
    if (!frame->Create()) return false;
    SetMainFrame(frame);
    // A browser that does not answer is waited for in the open, and the person may stop waiting.
    if (dde) new BrowserWaitNotice(*frame, dde->Ipc());
    // The splash belongs to the frame's creation: it comes up with the frame, before the
    // start-up launches and the reopened file.
    CSplashWindow::ShowWithFrame(frame);

    if (!RunShellCommand()) return false;

    frame->show();
    frame->LoadCachedSettings();
    // Encrypted card files lock with the desktop session, where there is a session bus.
    frame->Locks().ListenForSessionLock(QDBusConnection::sessionBus());
    // The first start for this user looks for the web browser before anything is launched.
    if (ReadInt(setting::FirstStartDone) != 1) {
        frame->DetectBrowsers();
        WriteInt(setting::FirstStartDone, 1);
    }
    frame->RunStartupLaunches();
    if (ReadInt(setting::CheckOpenFiles) == 1 && GetDocManager().RecentFiles().Count() > 0)
        GetDocManager().OpenDocumentFile(GetDocManager().RecentFiles().At(0));
    frame->UpdateCommandStates();
    return true;
}

bool CTessarelApp::RunShellCommand() {
    using Shell = CommandLineInfo::Shell;
    switch (commandLine.shell) {
        case Shell::Print:
        case Shell::PrintTo: {
            // Opened while the main window is still hidden, printed, and the program ends.
            const bool named = commandLine.shell == Shell::PrintTo && !commandLine.printTo.isEmpty();
            PrintFile(commandLine.fileName, named ? commandLine.printTo.front() : QString());
            return false;
        }
        case Shell::Unregister:
            FileTypeRegistration(dataHome).Unregister();
            RemoveAllSettings();
            return false;
        case Shell::Dde:
            // No running instance takes the request over, so this one opens the file itself.
            if (!commandLine.fileName.isEmpty()) {
                frame->show();
                GetDocManager().OpenDocumentFile(commandLine.fileName);
            }
            return true;
        case Shell::FileOpen:  // a file name alone is not opened
        case Shell::Nothing: return true;
    }
    return true;
}

}  // namespace tessarel
