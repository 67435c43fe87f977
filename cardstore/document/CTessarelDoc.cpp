#include "CTessarelDoc.h"

#include <cstring>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "mainframe/dialogs/CEncryptOnSaveDlg.h"
#include "CardDocumentHost.h"
#include "mainframe/dialogs/GuiUserInterface.h"
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

constexpr const char* kNotACardFile = "This is not a Tessarel file.";
constexpr const char* kNoCardsInSingleFileName =
    "A name ending in \"~~~\" belongs to an encrypted single file; card files are not saved under it.";
constexpr const char* kReplaceQuestion = "%1 already exists.\nThe next save of this card file will replace it. Do you want to replace it?";

bool IsEncryptedSingleFileName(const QString& path) { return path.endsWith(QLatin1String("~~~")); }

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

bool CTessarelDoc::IsCardTemplate(const DocTemplate* docTemplate) {
    return docTemplate && (docTemplate == plainTemplate || docTemplate == encryptedTemplate || docTemplate == sealedTemplate);
}

CTessarelDoc::CTessarelDoc() {
    OnCommand(res::EncryptOnSave, [this] { OnEncryptOnSave(); });
    OnCommand(res::EncryptOnSaveButton, [this] { OnEncryptOnSave(); });
    for (int id : {res::EncryptOnSave, res::EncryptOnSaveButton, res::PrintPreview, cmd::FilePrint, cmd::FilePrintSetup,
                   cmd::FileSave, cmd::FileSaveAs, cmd::EditFind})
        OnUpdate(id, [this](CommandState& state) { state.Enable(HasCards()); });
}

CTessarelDoc::~CTessarelDoc() = default;

namespace {
CardDocumentHost* documentHost = nullptr;
}  // namespace

void CTessarelDoc::SetHost(CardDocumentHost* host) { documentHost = host; }

void CTessarelDoc::AutoSaveHook() {
    if (ReadInt(setting::AutomaticSaveCheck) != 1) return;
    if (documentHost) documentHost->StartAutoSaveTimer(1);
}

bool CTessarelDoc::ReadDocument(const QString& path) {
    AutoSaveHook();
    data.dateFormat = ReadInt(setting::DateFormat);
    GuiUserInterface ui;
    const CardFileReadResult result = LoadCardFile(data, QFile::encodeName(path).toStdString(), ui);
    if (!result.ok) return false;
    // An encrypted single file is read by nothing: only the file encryption view's template takes
    // it. As a card file it would become an empty card document whose Save writes over it.
    if (result.layout == CardFileLayout::EncryptedSingleFile && IsCardTemplate(GetDocTemplate())) {
        ui.Tell(kNotACardFile);
        return false;
    }
    ownFilePath = QFileInfo(path).absoluteFilePath();
    return true;
}

bool CTessarelDoc::OnSaveDocument(const QString& path) {
    // A name ending in "~~~" is an encrypted single file's: cards written there would replace it,
    // and could never be opened as cards again.
    if (IsEncryptedSingleFileName(path)) {
        TellOwned(kNoCardsInSingleFileName);
        return false;
    }
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
    ownFilePath = QFileInfo(path).absoluteFilePath();
    // Only now that the new file is complete and synced do the files of the former type go. One
    // that stays is kept waiting, and the document stays modified, so the next save tries again.
    SetModifiedFlag(!RemoveOldFiles(ownFilePath));
    return true;
}

bool CTessarelDoc::RemoveOldFiles(const QString& savedPath) {
    bool allGone = true;
    for (QString* old : {&oldPlainPath, &oldEncryptedPath}) {
        if (old->isEmpty()) continue;
        // Never the file just written (a type switched there and back names it).
        if (QFileInfo(*old).absoluteFilePath() == savedPath) {
            old->clear();
            continue;
        }
        QFile file(*old);
        if (file.open(QIODevice::ReadWrite)) {
            file.close();
            int error = 0;
            if (!RemoveFile(QFile::encodeName(*old).toStdString(), &error)) {
                Dialogs().ShowMessage(Message{QStringLiteral("The old file %1 could not be removed.\n%2")
                                                  .arg(QDir::toNativeSeparators(*old), QString::fromLocal8Bit(std::strerror(error)))
                                                  .toStdString(),
                                              {}, MessageButtons::Ok, MessageIcon::Warning, MessageOwner::MainWindow});
                allGone = false;
                continue;
            }
        }
        old->clear();
    }
    return allGone;
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

    std::optional<SecureString> typed;
    if (dialog.encrypt == 1) {
        if (dialog.password != dialog.confirmation) {
            // A typing slip must not turn encryption off: nothing changes.
            TellOwned("Password not correct, try again!");
            return;
        }
        typed = TypedTextToBytes(dialog.password);
        if (!typed) return;
        if (typed->size() < 8) {
            // Refused like a mismatch: nothing changes. Turning encryption on here would leave a
            // file to be saved encrypted with no password, and every save would fail.
            TellOwned("Password to short, please use more characters!");
            return;
        }
    }
    // Off keeps the password in memory; it plays no part while the file is saved plain. With
    // "Strong encryption" the file becomes a sealed one, without it a compatible encrypted one.
    DocTemplate* encryptedTarget = dialog.strong == 1 && sealedTemplate ? sealedTemplate : encryptedTemplate;
    DocTemplate* target = typed ? encryptedTarget : plainTemplate;
    // The new name is settled first: a person who keeps an existing file of that name keeps
    // everything as it was.
    const std::optional<QString> newPath = PathInType(target);
    if (!newPath) return;
    data.encryptionMode = dialog.encrypt == 1 ? 1 : 0;
    if (typed) {
        data.encryptionPassword.assign(*typed);
        data.sealed = target == sealedTemplate;
    }
    SetModifiedFlag();
    SwitchFileType(target, *newPath);
}

QString CTessarelDoc::SwitchedPath(const QString& path, const DocTemplate& from, const DocTemplate& target) {
    const QString oldSuffix = from.GetDocString(DocTemplate::FilterExt);
    const bool hasSuffix = !oldSuffix.isEmpty() && path.endsWith(oldSuffix, Qt::CaseInsensitive);
    return (hasSuffix ? path.left(path.size() - oldSuffix.size()) : path) + target.GetDocString(DocTemplate::FilterExt);
}

std::optional<QString> CTessarelDoc::PathInType(const DocTemplate* target) const {
    const QString path = GetPathName();
    DocTemplate* source = GetDocTemplate();
    if (!target || !IsCardTemplate(source) || source == target || path.isEmpty()) return path;
    const QString newPath = SwitchedPath(path, *source, *target);
    const QFileInfo existing(newPath);
    // This document's own file (switched there and back, or still waiting for removal) is its to
    // write.
    const QString absolute = existing.absoluteFilePath();
    const bool own = absolute == ownFilePath || absolute == oldPlainPath || absolute == oldEncryptedPath;
    if ((!existing.exists() && !existing.isSymLink()) || own) return newPath;
    const Message question{QString::fromLatin1(kReplaceQuestion).arg(QDir::toNativeSeparators(newPath)).toStdString(), "Tessarel",
                           MessageButtons::YesNo, MessageIcon::Question, MessageOwner::MainWindow};
    if (Dialogs().ShowMessage(question) != MessageAnswer::Yes) return std::nullopt;
    return newPath;
}

void CTessarelDoc::SwitchFileType(DocTemplate* target, const QString& newPath) {
    const bool sealed = target && target == sealedTemplate;
    const bool encrypted = target == encryptedTemplate || sealed;
    if (documentHost) documentHost->ShowFileProtection(sealed ? 2 : encrypted ? 1 : 0);
    if (!target) return;
    if (GetDocTemplate() != target && IsCardTemplate(GetDocTemplate())) {
        const QString path = GetPathName();
        if (!path.isEmpty()) {
            // Only the document's own file waits for removal; the file it returns to is written
            // again, not removed. A compatible encrypted or a sealed file waits as the encrypted
            // one, a plain file as the plain one.
            if (path == ownFilePath) (GetDocTemplate() == plainTemplate ? oldPlainPath : oldEncryptedPath) = path;
            for (QString* old : {&oldPlainPath, &oldEncryptedPath})
                if (QFileInfo(*old).absoluteFilePath() == QFileInfo(newPath).absoluteFilePath()) old->clear();
            SetPathName(newPath);
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
