#include "CTessarelDoc.h"

#include <QFile>
#include <QFileInfo>

#include "CEncryptOnSaveDlg.h"
#include "CMainFrame.h"
#include "GuiUserInterface.h"
#include "cardstore/CardFileFormat.h"
#include "core/FileReader.h"
#include "core/SecureBuffer.h"
#include "core/Win1252.h"
#include "framework/ChildFrame.h"
#include "framework/CommandIds.h"
#include "framework/DialogHost.h"
#include "framework/DocTemplate.h"
#include "framework/Settings.h"
#include "resources/ResourceIds.h"

namespace tessarel {

namespace {

DocTemplate* plainTemplate = nullptr;
DocTemplate* encryptedTemplate = nullptr;
DocTemplate* sealedTemplate = nullptr;

void TellOwned(const char* text) {
    Dialogs().ShowMessage(Message{text, "Tessarel", MessageButtons::Ok, MessageIcon::None, MessageOwner::MainWindow});
}

QString BytesToText(const SecureString& bytes) { return QString::fromStdString(Win1252ToUtf8(std::string_view(bytes))); }

}  // namespace

void CTessarelDoc::SetCardTemplates(DocTemplate* plain, DocTemplate* encrypted) {
    plainTemplate = plain;
    encryptedTemplate = encrypted;
}

void CTessarelDoc::SetSealedTemplate(DocTemplate* sealed) { sealedTemplate = sealed; }

CTessarelDoc::CTessarelDoc() {
    OnCommand(res::EncryptOnSave, [this] { OnEncryptOnSave(); });
    OnCommand(res::EncryptOnSaveButton, [this] { OnEncryptOnSave(); });
    for (int id : {res::EncryptOnSave, res::EncryptOnSaveButton, res::PrintPreview, cmd::FilePrint, cmd::FilePrintSetup,
                   cmd::FileSave, cmd::FileSaveAs, cmd::EditFind})
        OnUpdate(id, [this](CommandState& state) { state.Enable(HasCards()); });
}

CTessarelDoc::~CTessarelDoc() = default;

void CTessarelDoc::AutoSaveHook() {
    if (ReadInt(setting::AutomaticSaveCheck) != 1) return;
    if (CMainFrame* frame = CMainFrame::Instance()) frame->StartAutoSaveTimer(1);
}

bool CTessarelDoc::ReadDocument(const QString& path) {
    AutoSaveHook();
    data.dateFormat = ReadInt(setting::DateFormat);
    GuiUserInterface ui;
    return LoadCardFile(data, QFile::encodeName(path).toStdString(), ui).ok;
}

bool CTessarelDoc::OnSaveDocument(const QString& path) {
    AutoSaveHook();
    GuiUserInterface ui;
    CardFileSaveResult result = SaveCardFile(data, QFile::encodeName(path).toStdString(), ui);
    if (!result.ok) {
        // A writer that stopped has said why; a failed write is reported here. Either way the file
        // on disk is as it was, and so are the files waiting for removal.
        if (!result.stopped)
            Dialogs().ShowMessage(Message{"Failed to save document.\n" + result.errorText, {}, MessageButtons::Ok,
                                          MessageIcon::Warning, MessageOwner::MainWindow});
        return false;
    }
    // Only now that the new file is safely in place do the files of the former type go.
    RemoveOldFiles(QFileInfo(path).absoluteFilePath());
    SetModifiedFlag(false);
    return true;
}

void CTessarelDoc::RemoveOldFiles(const QString& savedPath) {
    for (QString* old : {&oldPlainPath, &oldEncryptedPath}) {
        // Never the file just written (a type switched there and back names it).
        if (!old->isEmpty() && QFileInfo(*old).absoluteFilePath() != savedPath) {
            QFile file(*old);
            if (file.open(QIODevice::ReadWrite)) {
                file.close();
                RemoveFile(QFile::encodeName(*old).toStdString());
            }
        }
        old->clear();
    }
}

void CTessarelDoc::OnEncryptOnSave() {
    CEncryptOnSaveDlg dialog;
    dialog.encrypt = data.encryptionMode;
    dialog.strong = data.sealed ? 1 : 0;
    if (data.encryptionMode == 1) {
        dialog.password = BytesToText(data.encryptionPassword);
        dialog.confirmation = dialog.password;
    }
    if (dialog.DoModal() != QDialog::Accepted) return;

    if (dialog.encrypt == 1) {
        if (dialog.password != dialog.confirmation) {
            // A typing slip must not turn encryption off: nothing changes.
            TellOwned("Password not correct, try again!");
            return;
        }
        std::optional<SecureString> typed = TypedTextToBytes(dialog.password);
        if (!typed) return;
        if (typed->size() < 8) {
            // Refused like a mismatch: nothing changes. Turning encryption on here would leave a
            // file to be saved encrypted with no password, and every save would fail.
            TellOwned("Password to short, please use more characters!");
            return;
        }
        data.encryptionMode = 1;
        data.encryptionPassword.assign(*typed);
        data.sealed = dialog.strong == 1;
        SetModifiedFlag();
    } else {
        // The password stays in memory; it plays no part while the file is saved plain.
        data.encryptionMode = 0;
        SetModifiedFlag();
    }
    SwitchFileType();
}

void CTessarelDoc::SwitchFileType() {
    bool encrypted = data.encryptionMode == 1 && !data.encryptionPassword.empty();
    bool sealed = encrypted && data.sealed && sealedTemplate;
    CMainFrame* frame = CMainFrame::Instance();
    if (frame) {
        frame->ShowSaveStatus(sealed ? 2 : encrypted ? 1 : 0);
        int image = encrypted ? frame->GetEncryptedImageIndex() + res::EncryptButtonImage : res::EncryptButtonImage;
        frame->SetMainToolbarButton(res::EncryptButtonIndex, res::EncryptOnSaveButton, image);
    }
    DocTemplate* target = sealed ? sealedTemplate : encrypted ? encryptedTemplate : plainTemplate;
    if (!target) return;
    DocTemplate* current = GetDocTemplate();
    const bool cardTemplate = current == plainTemplate || current == encryptedTemplate || (current && current == sealedTemplate);
    if (cardTemplate && current != target) {
        QString path = GetPathName();
        if (!path.isEmpty()) {
            // A compatible encrypted or a sealed file is the "encrypted" one to remove after the
            // next save; a plain file the plain one.
            (current == plainTemplate ? oldPlainPath : oldEncryptedPath) = path;
            QString extension = target->GetDocString(DocTemplate::FilterExt);
            SetPathName(path.left(path.size() - 4) + extension);
        }
        // A document never saved keeps no path: its next Save asks for one with the new filter.
        target->AddDocument(this);
        SetModifiedFlag();
    }
    // The window is made again from the template, so it carries that template's menu and icon.
    std::vector<ChildFrame*> oldFrames = GetFrames();
    if (ChildFrame* created = target->CreateNewFrame(*this)) {
        target->InitialUpdateFrame(*created);
        for (ChildFrame* old : oldFrames) old->DestroyFrame();
    }
}

}  // namespace tessarel
