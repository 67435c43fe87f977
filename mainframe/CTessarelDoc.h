#pragma once
// The document of one open card file: the card store's data, read and written through the card
// file formats, and the Encrypt On Save command that switches the file between the plain, the
// encrypted and the sealed (strong encryption) card file types.

#include <QString>

#include "cardstore/CCardFileData.h"
#include "framework/Document.h"

namespace tessarel {

class DocTemplate;

class CTessarelDoc : public Document {
    Q_OBJECT
public:
    CTessarelDoc();
    ~CTessarelDoc() override;

    // The two card file templates the file type switch moves documents between.
    static void SetCardTemplates(DocTemplate* plain, DocTemplate* encrypted);
    // The template of sealed card files (".qdx"), where strong encryption moves a document.
    static void SetSealedTemplate(DocTemplate* sealed);

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
    void SwitchFileType();
    void RemoveOldFiles(const QString& savedPath);

    CCardFileData data;
    QString oldPlainPath;
    QString oldEncryptedPath;
};

}  // namespace tessarel
