#pragma once
// The Set File Encryption Password dialog (157): the password for the file encryption tool, typed
// twice. It is the program's source of the two entries for CFileEncryptionOperations, which
// applies the rules; each question is one showing of the dialog.

#include "filecrypt/FilePasswordSource.h"
#include "framework/Dialog.h"

class QLineEdit;

namespace tessarel {

class RevealButton;

class CFilePasswordDlg : public Dialog, public CFilePasswordSource {
    Q_OBJECT
public:
    static constexpr int kDialogId = 157;
    static constexpr int kFirstEdit = 1002;
    static constexpr int kSecondEdit = 1003;
    static constexpr int kRevealButton = 1037;
    static constexpr int kClearButton = 1033;

    explicit CFilePasswordDlg(QWidget* parent = nullptr);
    ~CFilePasswordDlg() override;

    // Closing empties both edits.
    void done(int result) override;

    std::optional<FilePasswordEntries> AskFilePassword(const SecureString& initial) override;

    QString password;
    QString confirmation;

protected:
    void DoDataExchange(bool save) override;

private:
    void OnClearPassword();

    QLineEdit* firstEdit;
    QLineEdit* secondEdit;
    RevealButton* reveal;
};

}  // namespace tessarel
