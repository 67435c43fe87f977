// The main frame's part of the file encryption view: entering and leaving it, the bars that follow
// it, the file password, and encrypting and decrypting the file chosen in the list.

#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QToolBar>

#include "CChildFrmFileView.h"
#include "CFilePasswordDlg.h"
#include "CMainFrame.h"
#include "GuiUserInterface.h"
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

QIcon PasswordSetImage() { return QIcon(QStringLiteral(":/icons/file-password-set.svg")); }

}  // namespace

void CMainFrame::RegisterFileViewCommands() {
    using namespace res;
    const CFileEncryptionState& files = fileEncryption;
    auto rule = [this](int id, std::function<void()> run, std::function<bool()> enabled) {
        OnCommand(id, std::move(run));
        OnUpdate(id, [enabled = std::move(enabled)](CommandState& state) { state.Enable(enabled()); });
    };
    auto always = [] { return true; };
    rule(FileView, [this] {
        if (EnterFileView()) OfferFilePassword();
    }, always);
    rule(FileEncryptionButton, [this] {
        if (EnterFileView()) OfferFilePassword();
    }, [this] { return GetActiveChild() != nullptr; });
    for (int id : {CardViewMenu, CardViewButton}) rule(id, [this] { LeaveFileView(); }, always);
    for (int id : {EncryptFileMenu, EncryptFileButton}) rule(id, [this] { EncryptSelectedFile(); }, [&files] { return files.CanEncrypt(); });
    for (int id : {DecryptFileMenu, DecryptFileButton}) rule(id, [this] { DecryptSelectedFile(); }, [&files] { return files.CanDecrypt(); });
    for (int id : {SetPasswordMenu, SetPasswordButton}) rule(id, [this] { SetFilePassword(); }, always);
    for (int id : {ClearPasswordMenu, ClearPasswordButton})
        rule(id, [this] { ClearFilePassword(); }, [&files] { return files.CanClearPassword(); });

    auto filter = [this](bool encryptedOnly) {
        return [this, encryptedOnly] {
            fileEncryption.showEncryptedOnly = encryptedOnly;
            RefreshFileLists();
            InvalidateCommandStates();
        };
    };
    rule(AllFilesButton, filter(false), [&files] { return files.showEncryptedOnly; });
    rule(ShowEncryptedButton, filter(true), [&files] { return !files.showEncryptedOnly; });
    OnCommand(AllFilesMenu, filter(false));
    OnUpdate(AllFilesMenu, [&files](CommandState& state) {
        state.Enable();
        state.SetCheck(!files.showEncryptedOnly);
    });
    OnCommand(EncryptedFilesMenu, filter(true));
    OnUpdate(EncryptedFilesMenu, [&files](CommandState& state) {
        state.Enable();
        state.SetCheck(files.showEncryptedOnly);
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
    GuiUserInterface ui;
    CFileEncryptionOperations(fileEncryption, ui).EncryptSelectedFile();
    RefreshFileLists();
    InvalidateCommandStates();
}

void CMainFrame::DecryptSelectedFile() {
    GuiUserInterface ui;
    CFileEncryptionOperations(fileEncryption, ui).DecryptSelectedFile();
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
