#include "CTessarelApp.h"

#include <QCoreApplication>
#include <QFileInfo>

#include "CAboutDialog.h"
#include "CSplashWindow.h"
#include "FileTypeRegistration.h"
#include "framework/CommandIds.h"
#include "framework/DocTemplate.h"
#include "framework/Settings.h"
#include "mainframe/CChildFrame.h"
#include "mainframe/CMainFrame.h"
#include "mainframe/CTessarelDoc.h"
#include "resources/ResourceIds.h"
#include "resources/Resources.h"

namespace tessarel {

CTessarelApp::CTessarelApp() : Application(QStringLiteral("Tessarel")) {
    LoadResources();
    OnCommand(cmd::AppAbout, [] {
        CAboutDialog dialog;
        dialog.DoModal();
    });
    // Print Setup belongs to the printing work; the command is accepted here until then.
    OnCommand(cmd::FilePrintSetup, [] {});
}

CTessarelApp::~CTessarelApp() {
    delete frame;
    CTessarelDoc::SetCardTemplates(nullptr, nullptr);
}

void CTessarelApp::CreateTemplates() {
    auto documents = [] { return std::unique_ptr<Document>(new CTessarelDoc); };
    auto cardFrames = [](Document& document) -> ChildFrame* { return new CChildFrame(document, *document.GetDocTemplate()); };
    // The file encryption view brings its own frame; until it exists its files do not open.
    auto noFrame = [](Document&) -> ChildFrame* { return nullptr; };
    DocManager& manager = GetDocManager();
    encryptedTemplate = manager.AddDocTemplate(
        std::make_unique<DocTemplate>(res::MenuEncryptedCard, QString::fromLatin1(kEncryptedStrings), documents, cardFrames));
    fileViewTemplate = manager.AddDocTemplate(
        std::make_unique<DocTemplate>(res::MenuFileView, QString::fromLatin1(kFileViewStrings), documents, noFrame));
    plainTemplate = manager.AddDocTemplate(
        std::make_unique<DocTemplate>(res::MenuPlainCard, QString::fromLatin1(kPlainStrings), documents, cardFrames));
    CTessarelDoc::SetCardTemplates(plainTemplate, encryptedTemplate);
}

void CTessarelApp::RegisterFileTypes() {
    std::vector<const DocTemplate*> templates;
    for (const auto& docTemplate : GetDocManager().GetTemplates()) templates.push_back(docTemplate.get());
    QString path = programPath.isEmpty() ? QCoreApplication::applicationFilePath() : programPath;
    FileTypeRegistration(dataHome).Register(FileTypeRegistration::EntriesOf(templates), path);
}

bool CTessarelApp::InitInstance(const QStringList& arguments) {
    commandLine = CommandLineInfo::Parse(arguments);
    CSplashWindow::EnableSplashScreen(commandLine.showSplash);

    SetSettingsOwner(QStringLiteral("Corvale"), QStringLiteral("Tessarel"));
    GetDocManager().RecentFiles().Load();

    CreateTemplates();
    if (commandLine.shell != CommandLineInfo::Shell::Unregister) RegisterFileTypes();

    frame = new CMainFrame;
    if (!frame->Create()) return false;
    SetMainFrame(frame);

    if (!RunShellCommand()) return false;

    frame->show();
    frame->LoadCachedSettings();
    frame->RunStartupLaunches();
    if (ReadInt(setting::CheckOpenFiles) == 1 && GetDocManager().RecentFiles().Count() > 0)
        GetDocManager().OpenDocumentFile(GetDocManager().RecentFiles().At(0));
    CSplashWindow::ShowSplashScreen(frame);
    frame->UpdateCommandStates();
    return true;
}

bool CTessarelApp::RunShellCommand() {
    using Shell = CommandLineInfo::Shell;
    switch (commandLine.shell) {
        case Shell::Print:
        case Shell::PrintTo: {
            // Opened hidden, printed, and the program ends; the printing itself arrives with
            // card printing, so the document is only opened and closed here.
            Document* document = commandLine.fileName.isEmpty() ? nullptr : plainTemplate ? GetDocManager().OpenDocumentFile(commandLine.fileName) : nullptr;
            if (document) document->OnCloseDocument();
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
