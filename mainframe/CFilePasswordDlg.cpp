#include "CFilePasswordDlg.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "mainframe/dialogs/GuiUserInterface.h"
#include "mainframe/dialogs/RevealButton.h"
#include "core/Win1252.h"

namespace tessarel {

CFilePasswordDlg::CFilePasswordDlg(QWidget* parent) : Dialog(parent) {
    setObjectName(QString::number(kDialogId));
    setWindowTitle(QStringLiteral("Set File Encryption Password"));
    auto* layout = new QVBoxLayout(this);
    auto* group = new QGroupBox(QStringLiteral("Enter Password"), this);
    auto* grid = new QGridLayout(group);
    grid->addWidget(new QLabel(QStringLiteral("Enter your password (key) below:"), group), 0, 0, 1, 2);
    firstEdit = MaskedEdit(kFirstEdit, group);
    grid->addWidget(firstEdit, 1, 0);
    // Shows what the first edit holds now, typed or not yet confirmed.
    reveal = new RevealButton(kRevealButton, [this] { return firstEdit->text(); }, group);
    grid->addWidget(reveal, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("Enter your password (key) again:"), group), 2, 0, 1, 2);
    secondEdit = MaskedEdit(kSecondEdit, group);
    grid->addWidget(secondEdit, 3, 0);
    layout->addWidget(group);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* clear = buttons->addButton(QStringLiteral("Clear Password"), QDialogButtonBox::ResetRole);
    clear->setObjectName(QString::number(kClearButton));
    QPushButton* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("IDOK"));
    ok->setDefault(true);
    buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole)->setObjectName(QStringLiteral("IDCANCEL"));
    connect(clear, &QPushButton::clicked, this, &CFilePasswordDlg::OnClearPassword);
    connect(buttons, &QDialogButtonBox::accepted, this, &Dialog::OnOK);
    connect(buttons, &QDialogButtonBox::rejected, this, &Dialog::OnCancel);
    layout->addWidget(buttons);
}

CFilePasswordDlg::~CFilePasswordDlg() {
    WipeText(password);
    WipeText(confirmation);
}

void CFilePasswordDlg::done(int result) {
    Dialog::done(result);
    WipeEdit(firstEdit);
    WipeEdit(secondEdit);
}

void CFilePasswordDlg::DoDataExchange(bool save) {
    if (save) {
        password = firstEdit->text();
        confirmation = secondEdit->text();
    } else {
        firstEdit->setText(password);
        secondEdit->setText(confirmation);
    }
}

void CFilePasswordDlg::OnClearPassword() {
    // Empties the two edits only; the password in use stays until OK.
    WipeEdit(firstEdit);
    WipeEdit(secondEdit);
}

std::optional<FilePasswordEntries> CFilePasswordDlg::AskFilePassword(const SecureString& initial) {
    for (;;) {
        std::string shown = Win1252ToUtf8(std::string_view(initial.data(), initial.size()));
        password = QString::fromStdString(shown);
        WipeString(shown);
        confirmation = password;
        const int answer = DoModal();
        if (answer != QDialog::Accepted) {
            WipeText(password);
            WipeText(confirmation);
            return std::nullopt;
        }
        // Text the program's character set cannot hold is refused (with a message) and asked again.
        std::optional<SecureString> first = TypedTextToBytes(password);
        std::optional<SecureString> second = first ? TypedTextToBytes(confirmation) : std::nullopt;
        WipeText(password);
        WipeText(confirmation);
        if (!first || !second) continue;
        return FilePasswordEntries{std::move(*first), std::move(*second)};
    }
}

}  // namespace tessarel
