// The main frame's part of the file encryption view: entering and leaving it, the bars that follow
// it, the file password, and encrypting and decrypting the file chosen in the list.

#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QToolBar>

#include "CChildFrmFileView.h"
#include "CFilePasswordDlg.h"
#include "CMainFrame.h"
#include "mainframe/dialogs/GuiUserInterface.h"
#include "filecrypt/CSHellView.h"
#include "filecrypt/CShellListView.h"
#include "filecrypt/FileEncryptionOperations.h"
#include "framework/Application.h"
#include "framework/DialogHost.h"
#include "framework/DocTemplate.h"
#include "framework/Document.h"
#include "resources/ResourceIds.h"
#include "resources/Resources.h"

namespace tessarel {

namespace {

const char* const kPasswordNotSet = "Password for file encryption is not set, would you like to set the Password ?";

DocTemplate* FileViewTemplate() {
    auto* app = Application::Instance();
    if (!app) return nullptr;
    for (const auto& docTemplate : app->GetDocManager().GetTemplates())
        if (docTemplate->GetResourceId() == res::MenuFileView) return docTemplate.get();
    return nullptr;
}

// Encrypting and decrypting the chosen file, with the messages shown by the program's dialogs.
void RunOnSelectedFile(CFileEncryptionState& state, CFileEncryptionOperations::Result (CFileEncryptionOperations::*operation)()) {
    GuiUserInterface ui;
    CFileEncryptionOperations operations(state, ui);
    (operations.*operation)();
}

QIcon PasswordSetImage() { return QIcon(QStringLiteral(":/icons/file-password-set.svg")); }

}  // namespace

void CMainFrame::RegisterFileViewCommands() {
    using namespace res;
    const CFileEncryptionState& files = fileEncryption;
    auto always = [] { return true; };
    auto enter = [this] {
        if (EnterFileView()) OfferFilePassword();
    };
    auto leave = [this] { LeaveFileView(); };
    auto encrypt = [this] { EncryptSelectedFile(); };
    auto canEncrypt = [&files] { return files.CanEncrypt(); };
    auto decrypt = [this] { DecryptSelectedFile(); };
    auto canDecrypt = [&files] { return files.CanDecrypt(); };
    auto setPassword = [this] { SetFilePassword(); };
    auto clearPassword = [this] { ClearFilePassword(); };
    auto canClear = [&files] { return files.CanClearPassword(); };
    auto filter = [this](bool encryptedOnly) {
        return [this, encryptedOnly] {
            fileEncryption.showEncryptedOnly = encryptedOnly;
            RefreshFileLists();
            InvalidateCommandStates();
        };
    };
    auto encryptedOnly = [&files] { return files.showEncryptedOnly; };
    auto allFiles = [&files] { return !files.showEncryptedOnly; };
    Register(CommandTable{
        CommandRow::When(FileView, enter, always),
        CommandRow::When(FileEncryptionButton, enter, [this] { return GetActiveChild() != nullptr; }),
        CommandRow::When(CardViewMenu, leave, always),
        CommandRow::When(CardViewButton, leave, always),
        CommandRow::When(EncryptFileMenu, encrypt, canEncrypt),
        CommandRow::When(EncryptFileButton, encrypt, canEncrypt),
        CommandRow::When(DecryptFileMenu, decrypt, canDecrypt),
        CommandRow::When(DecryptFileButton, decrypt, canDecrypt),
        CommandRow::When(SetPasswordMenu, setPassword, always),
        CommandRow::When(SetPasswordButton, setPassword, always),
        CommandRow::When(ClearPasswordMenu, clearPassword, canClear),
        CommandRow::When(ClearPasswordButton, clearPassword, canClear),
        // The buttons are enabled for the other filter; the menu items check the current one.
        CommandRow::When(AllFilesButton, filter(false), encryptedOnly),
        CommandRow::When(ShowEncryptedButton, filter(true), allFiles),
        CommandRow::Checked(AllFilesMenu, filter(false), always, allFiles),
        CommandRow::Checked(EncryptedFilesMenu, filter(true), always, encryptedOnly),
    });
}

bool CMainFrame::EnterFileView() {
    ChildFrame* active = GetActiveChild();
    DocTemplate* owner = FileViewTemplate();
    Document* document = active ? active->GetDocument() : nullptr;
    if (!document || !owner) return false;
    // A new window every time; an open one is not reused.
    auto* window = new CChildFrmFileView(*document, *owner);
    if (!window->OnCreateClient()) {
        window->DestroyFrame();
        return false;
    }
    AddChild(window);
    owner->InitialUpdateFrame(*window);
    window->ShowAsFileView();
    FollowActiveWindow();
    return true;
}

void CMainFrame::EnterOpenedFileView(CChildFrmFileView* window) {
    // The file is no card file: a card window is made first when none is open, then the
    // file's own window becomes the view.
    const bool cardWindowOpen = [this, window] {
        for (ChildFrame* child : GetChildren())
            if (child != window && !dynamic_cast<CChildFrmFileView*>(child)) return true;
        return false;
    }();
    if (!cardWindowOpen) {
        if (auto* app = Application::Instance()) app->GetDocManager().OnFileNew();
    }
    ActivateChild(window);
    window->ShowAsFileView();
    FollowActiveWindow();
    OfferFilePassword();
    // The view opens on the file's folder with the file chosen, ready for Decrypt.
    const QFileInfo file(window->GetDocument() ? window->GetDocument()->GetPathName() : QString());
    if (file.fileName().isEmpty() || !window->TreeView()->SelectFolderPath(file.absolutePath())) return;
    if (QTreeWidgetItem* row = window->ListView()->RowOf(file.absoluteFilePath())) window->ListView()->setCurrentItem(row);
}

void CMainFrame::LeaveFileView() {
    auto* window = dynamic_cast<CChildFrmFileView*>(GetActiveChild());
    if (!window || !fileEncryption.fileViewActive) return;
    // Closed as any window is: the window of an opened "~~~" file takes its document with it,
    // one entered from a card file leaves the card file to its own window.
    window->CloseFrame();
    FollowActiveWindow();
}

void CMainFrame::OnChildActivated(ChildFrame* child) {
    MdiFrame::OnChildActivated(child);
    FollowActiveWindow();
}

void CMainFrame::OnFileViewWindowGone() {
    // Called from a closing window's destructor: look again once it is gone.
    QMetaObject::invokeMethod(this, [this] { FollowActiveWindow(); }, Qt::QueuedConnection);
}

void CMainFrame::FollowActiveWindow() {
    // The file tool's bars are shown exactly while a file encryption window is the active one.
    const bool active = dynamic_cast<CChildFrmFileView*>(GetActiveChild()) != nullptr;
    fileEncryption.fileViewActive = active;
    if (!mainToolbar || !fileToolbar || !statusDialogBar || !foldersBar) return;
    ShowMainToolbar(!active);
    statusDialogBar->setVisible(!active);
    fileToolbar->setVisible(active);
    foldersBar->setVisible(active);
    InvalidateCommandStates();
}

void CMainFrame::OfferFilePassword() {
    if (fileEncryption.filePassword.empty()) {
        const Message question{kPasswordNotSet, {}, MessageButtons::YesNo, MessageIcon::Question, MessageOwner::MainWindow};
        if (Dialogs().ShowMessage(question) == MessageAnswer::Yes) SetFilePassword();
    }
    ShowPasswordImage();
}

void CMainFrame::SetFilePassword() {
    CFilePasswordDlg dialog;
    GuiUserInterface ui;
    CFileEncryptionOperations(fileEncryption, ui).SetFilePassword(dialog);
    ShowPasswordImage();
    InvalidateCommandStates();
}

void CMainFrame::ClearFilePassword() {
    GuiUserInterface ui;
    CFileEncryptionOperations(fileEncryption, ui).ClearFilePassword();
    ShowPasswordImage();
    InvalidateCommandStates();
}

void CMainFrame::EncryptSelectedFile() {
    RunOnSelectedFile(fileEncryption, &CFileEncryptionOperations::EncryptSelectedFile);
    RefreshFileLists();
    InvalidateCommandStates();
}

void CMainFrame::DecryptSelectedFile() {
    RunOnSelectedFile(fileEncryption, &CFileEncryptionOperations::DecryptSelectedFile);
    RefreshFileLists();
    InvalidateCommandStates();
}

void CMainFrame::RefreshFileLists() {
    const QString chosen = QFile::decodeName(QByteArray::fromStdString(fileEncryption.selectedFilePath));
    for (ChildFrame* child : GetChildren()) {
        auto* window = dynamic_cast<CChildFrmFileView*>(child);
        if (!window || !window->TreeView()) continue;
        window->TreeView()->RefreshFileList();
        // The chosen file stays highlighted (without being checked again).
        CShellListView* list = window->ListView();
        if (QTreeWidgetItem* row = list ? list->RowOf(chosen) : nullptr) {
            const QSignalBlocker quiet(list);
            list->setCurrentItem(row);
        }
    }
}

void CMainFrame::ShowPasswordImage() {
    if (!fileToolbar || fileToolbar->actions().isEmpty()) return;
    QAction* first = fileToolbar->actions().front();
    const bool set = fileEncryption.filePasswordSet;
    first->setIcon(set ? PasswordSetImage() : ToolbarImage(res::ToolbarFile, 0));
    first->setProperty("passwordSetImage", set);
}

bool CMainFrame::PasswordImageShown() const {
    return fileToolbar && !fileToolbar->actions().isEmpty() && fileToolbar->actions().front()->property("passwordSetImage").toBool();
}

}  // namespace tessarel
