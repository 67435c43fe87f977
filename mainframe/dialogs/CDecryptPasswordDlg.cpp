#include "CDecryptPasswordDlg.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "RevealButton.h"
#include "resources/ResourceIds.h"

namespace tessarel {

CDecryptPasswordDlg::CDecryptPasswordDlg(QWidget* parent) : Dialog(parent) {
    setObjectName(QStringLiteral("184"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("This file is encrypted, please enter your password:"), this));
    auto* row = new QHBoxLayout;
    passwordEdit = new QLineEdit(this);
    passwordEdit->setObjectName(QString::number(res::ControlDecryptPassword));
    passwordEdit->setEchoMode(QLineEdit::Password);
    // The reveal button shows what is typed, an empty password as an empty item.
    reveal = new RevealButton(res::ControlReveal, [this] {
        UpdateData(true);
        return password;
    }, this);
    row->addWidget(passwordEdit);
    row->addWidget(reveal);
    layout->addLayout(row);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &Dialog::OnOK);
    connect(buttons, &QDialogButtonBox::rejected, this, &Dialog::OnCancel);
    layout->addWidget(buttons);
}

CDecryptPasswordDlg::~CDecryptPasswordDlg() { WipeText(password); }

void CDecryptPasswordDlg::done(int result) {
    Dialog::done(result);
    WipeEdit(passwordEdit);
}

void CDecryptPasswordDlg::OnInitDialog() {
    Dialog::OnInitDialog();
    setWindowTitle(title);
    passwordEdit->setFocus();
}

void CDecryptPasswordDlg::DoDataExchange(bool save) {
    if (save)
        password = passwordEdit->text();
    else
        passwordEdit->setText(password);
}

}  // namespace tessarel
