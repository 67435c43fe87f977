#pragma once
// The Decryption Password dialog (184): the caller sets the window title, runs it and reads the
// password after OK.

#include "framework/Dialog.h"

class QLineEdit;

namespace tessarel {

class RevealButton;

class CDecryptPasswordDlg : public Dialog {
    Q_OBJECT
public:
    explicit CDecryptPasswordDlg(QWidget* parent = nullptr);
    ~CDecryptPasswordDlg() override;

    // Closing empties the edit; the caller reads `password`, which is wiped with the dialog.
    void done(int result) override;

    QString password;
    QString title;

protected:
    void OnInitDialog() override;
    void DoDataExchange(bool save) override;

private:
    QLineEdit* passwordEdit;
    RevealButton* reveal;
};

}  // namespace tessarel
