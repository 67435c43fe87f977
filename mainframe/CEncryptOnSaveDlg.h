#pragma once
// The File Encryption dialog of Encrypt On Save (161): two password edits and the Encrypt On Save
// check box. The caller compares the two passwords.

#include "framework/Dialog.h"

class QCheckBox;
class QGroupBox;
class QLineEdit;

namespace tessarel {

class RevealButton;

class CEncryptOnSaveDlg : public Dialog {
    Q_OBJECT
public:
    explicit CEncryptOnSaveDlg(QWidget* parent = nullptr);
    ~CEncryptOnSaveDlg() override;

    // Closing empties both edits; the caller reads the members, which are wiped with the dialog.
    void done(int result) override;

    QString password;
    int encrypt = 0;
    QString confirmation;
    int fullWidth = 0;   // outer size measured when the dialog opens
    int fullHeight = 0;

    // Full size: 234 by 193 dialog units; without the "Important" group 100 pixels lower.
    static constexpr int kWidth = 351;
    static constexpr int kHeight = 290;
    static constexpr int kCollapse = 100;

protected:
    void OnInitDialog() override;
    void DoDataExchange(bool save) override;

private:
    void ApplyEncryptFlag();
    void OnEncryptClicked();
    void OnAboutKeys();

    QLineEdit* passwordEdit;
    QLineEdit* confirmEdit;
    QCheckBox* encryptBox;
    QGroupBox* important;
    RevealButton* reveal;
};

}  // namespace tessarel
