#include "CEncryptOnSaveDlg.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "CAboutKeysDlg.h"
#include "RevealButton.h"
#include "resources/ResourceIds.h"
#include "resources/Resources.h"

namespace tessarel {

CEncryptOnSaveDlg::CEncryptOnSaveDlg(QWidget* parent) : Dialog(parent) {
    setObjectName(QStringLiteral("161"));
    setWindowTitle(QStringLiteral("File Encryption"));
    setFixedSize(kWidth, kHeight);

    auto* icon = new QLabel(this);
    icon->setPixmap(ResourceIcon(res::IconKey).pixmap(32, 32));
    icon->setGeometry(12, 14, 32, 32);

    auto* group = new QGroupBox(QStringLiteral("Enter Password"), this);
    group->setGeometry(54, 6, 190, 170);
    auto* first = new QLabel(QStringLiteral("Enter your password (key) below:"), group);
    first->setGeometry(8, 20, 178, 18);
    passwordEdit = MaskedEdit(res::ControlEncryptPassword, group);
    passwordEdit->setGeometry(8, 40, 146, 24);
    // This reveal button leaves an empty password empty.
    reveal = new RevealButton(res::ControlEncryptReveal, [this] {
        UpdateData(true);
        return password;
    }, group);
    reveal->setGeometry(158, 40, 24, 24);
    encryptBox = new QCheckBox(QStringLiteral("Encrypt On Save"), group);
    encryptBox->setObjectName(QString::number(res::ControlEncryptFlag));
    encryptBox->setGeometry(8, 72, 178, 20);
    auto* second = new QLabel(QStringLiteral("Enter your password (key) again:"), group);
    second->setGeometry(8, 100, 178, 18);
    confirmEdit = MaskedEdit(res::ControlEncryptConfirm, group);
    confirmEdit->setGeometry(8, 120, 146, 24);
    strongBox = new QCheckBox(QStringLiteral("Strong encryption (not readable by older versions)"), this);
    strongBox->setObjectName(QString::number(res::ControlStrongEncryption));
    strongBox->setGeometry(12, 180, 328, 20);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("IDOK"));
    ok->setDefault(true);
    ok->setGeometry(256, 12, 84, 26);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("IDCANCEL"));
    cancel->setGeometry(256, 44, 84, 26);
    auto* aboutKeys = new QPushButton(QStringLiteral("About Keys"), this);
    aboutKeys->setObjectName(QString::number(res::ControlAboutKeys));
    aboutKeys->setGeometry(256, 76, 84, 26);

    important = new QGroupBox(QStringLiteral("Important"), this);
    important->setGeometry(12, 206, 328, 88);
    auto* warning = new QLabel(QStringLiteral(
        "Remember this key well. You need this key to decipher the file later. If you loose or forget this key, you "
        "will no longer be able to access the file.Your data will be lost forever!"), important);
    warning->setObjectName(QString::number(res::ControlImportantText));
    warning->setWordWrap(true);
    warning->setGeometry(8, 18, 312, 64);

    connect(ok, &QPushButton::clicked, this, &Dialog::OnOK);
    connect(cancel, &QPushButton::clicked, this, &Dialog::OnCancel);
    connect(aboutKeys, &QPushButton::clicked, this, &CEncryptOnSaveDlg::OnAboutKeys);
    connect(encryptBox, &QCheckBox::clicked, this, &CEncryptOnSaveDlg::OnEncryptClicked);
}

CEncryptOnSaveDlg::~CEncryptOnSaveDlg() {
    WipeText(password);
    WipeText(confirmation);
}

void CEncryptOnSaveDlg::done(int result) {
    Dialog::done(result);
    WipeEdit(passwordEdit);
    WipeEdit(confirmEdit);
}

void CEncryptOnSaveDlg::OnInitDialog() {
    Dialog::OnInitDialog();
    fullWidth = kWidth;
    fullHeight = kHeight;
    ApplyEncryptFlag();
}

void CEncryptOnSaveDlg::DoDataExchange(bool save) {
    if (save) {
        password = passwordEdit->text();
        encrypt = encryptBox->isChecked() ? 1 : 0;
        confirmation = confirmEdit->text();
        strong = strongBox->isChecked() ? 1 : 0;
    } else {
        passwordEdit->setText(password);
        encryptBox->setChecked(encrypt != 0);
        confirmEdit->setText(confirmation);
        strongBox->setChecked(strong != 0);
    }
}

void CEncryptOnSaveDlg::ApplyEncryptFlag() {
    bool on = encrypt == 1;
    passwordEdit->setReadOnly(!on);
    confirmEdit->setReadOnly(!on);
    // The type only matters for a file that is encrypted.
    strongBox->setEnabled(on);
    // Lowering the dialog by 100 pixels hides the "Important" group below the fold.
    setFixedSize(fullWidth, on ? fullHeight : fullHeight - kCollapse);
}

void CEncryptOnSaveDlg::OnEncryptClicked() {
    UpdateData(true);
    ApplyEncryptFlag();
    if (encrypt == 0) {
        password.clear();
        confirmation.clear();
        UpdateData(false);
    }
}

void CEncryptOnSaveDlg::OnAboutKeys() {
    CAboutKeysDlg page(this);
    page.DoModal();
}

}  // namespace tessarel
