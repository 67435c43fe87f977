#pragma once
// The File Encryption dialog of Encrypt On Save (161): two password edits, the Encrypt On Save
// check box and the Strong encryption check box (the sealed ".qdx" type). The caller compares the
// two passwords.

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
    int strong = 0;      // 1: save as a sealed file (strong encryption) when encrypting
    int fullWidth = 0;   // outer size measured when the dialog opens
    int fullHeight = 0;

    // Full size: 234 by 193 dialog units and the row of the Strong encryption box; without the
    // "Important" group 100 pixels lower.
    static constexpr int kWidth = 351;
    static constexpr int kHeight = 304;
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
    QCheckBox* strongBox;
    QGroupBox* important;
    RevealButton* reveal;
};

}  // namespace tessarel
