#pragma once
// The document of one open card file: the card store's data, read and written through the card
// file formats, and the Encrypt On Save command that switches the file between the plain, the
// encrypted and the sealed (strong encryption) card file types.

#include <QString>
#include <optional>

#include "cardstore/CCardFileData.h"
#include "framework/Document.h"

namespace tessarel {

class CardDocumentHost;
class DocTemplate;

class CTessarelDoc : public Document {
    Q_OBJECT
public:
    CTessarelDoc();
    ~CTessarelDoc() override;

    // The window every card document tells of its automatic save and file protection (null: none).
    static void SetHost(CardDocumentHost* host);
    // The two card file templates the file type switch moves documents between.
    static void SetCardTemplates(DocTemplate* plain, DocTemplate* encrypted);
    // The template of sealed card files (".qdx"), where strong encryption moves a document.
    static void SetSealedTemplate(DocTemplate* sealed);
    // True for a template whose documents are card files (not the file encryption view's).
    static bool IsCardTemplate(const DocTemplate* docTemplate);
    // The path a card file gets when it moves to `target`'s file type: the suffix of `from` is
    // replaced by that of `target` (cards.qdf -> cards.qde); a path without it gets the new
    // suffix added.
    static QString SwitchedPath(const QString& path, const DocTemplate& from, const DocTemplate& target);

    CCardFileData& Data() { return data; }
    const CCardFileData& Data() const { return data; }
    CCardList* GetCategoryList(int code) { return data.GetCategoryList(code); }
    CCardList& GetDeletedList() { return data.GetDeletedList(); }
    std::size_t TotalByteSize() const { return data.TotalByteSize(); }
    bool HasCards() const { return data.HasCards(); }
    int GetEncryptionMode() const { return data.encryptionMode; }
    const SecureString& GetEncryptionPassword() const { return data.encryptionPassword; }
    const QString& OldPlainPath() const { return oldPlainPath; }
    const QString& OldEncryptedPath() const { return oldEncryptedPath; }

    void OnEncryptOnSave();
    bool OnSaveDocument(const QString& path) override;

protected:
    bool ReadDocument(const QString& path) override;

private:
    void AutoSaveHook();
    // The path the document takes in `target`'s type, or nullopt when the person keeps a file of
    // that name that they were asked about.
    std::optional<QString> PathInType(const DocTemplate* target) const;
    void SwitchFileType(DocTemplate* target, const QString& newPath);
    // False when an old file could not be removed (said to the person; it stays to be removed).
    bool RemoveOldFiles(const QString& savedPath);

    CCardFileData data;
    QString oldPlainPath;
    QString oldEncryptedPath;
    // The file this document last read or wrote: the only one a type switch schedules for
    // removal (a name given by an earlier switch and never saved has no file of this document).
    QString ownFilePath;
};

}  // namespace tessarel
