#include "CCardDlg.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

#include "CEditUrlDlg.h"
#include "CPasswordGeneratorDlg.h"
#include "GuiUserInterface.h"
#include "mainframe/dialogs/PasswordClipboard.h"
#include "RevealButton.h"
#include "cardstore/CategorySets.h"
#include "resources/ResourceIds.h"
#include "resources/Resources.h"

namespace tessarel {

namespace {

template <class Widget>
Widget* Named(Widget* widget, int id) {
    widget->setObjectName(QString::number(id));
    return widget;
}

// The categories whose second field is an address the URL button can edit.
bool HasUrlButton(const QString& category) {
    return category_sets::Contains(category_sets::kUrlButtonCategories, category.toStdString());
}

}  // namespace

CCardDlg::CCardDlg(QWidget* parent) : Dialog(parent) {
    setObjectName(QString::number(res::DialogCard));
    setWindowTitle(QStringLiteral("Add New Card"));
    auto* layout = new QVBoxLayout(this);
    auto* info = new QGroupBox(QStringLiteral("Card Info"), this);
    auto* grid = new QGridLayout(info);
    auto* top = new QHBoxLayout;
    auto* cardIcon = new QLabel(info);
    cardIcon->setPixmap(ResourceIcon(res::IconCard).pixmap(32, 32));
    top->addWidget(cardIcon);
    top->addWidget(new QLabel(QStringLiteral("Selected Category:"), info));
    categoryLabel = Named(new QLabel(info), res::ControlCardCategory);
    top->addWidget(categoryLabel, 1);
    grid->addLayout(top, 0, 0, 1, 3);
    nameEdit = Named(new QLineEdit(info), res::ControlCardName);
    secondEdit = Named(new QLineEdit(info), res::ControlCardField2);
    thirdEdit = Named(new QLineEdit(info), res::ControlCardField3);
    passwordEdit = Named(new QLineEdit(info), res::ControlCardPassword);
    GuardPasswordEditCopy(passwordEdit);
    const std::array<QLineEdit*, 4> edits = {nameEdit, secondEdit, thirdEdit, passwordEdit};
    const std::array<const char*, 4> resourceTexts = {"Name:", "Host:", "User ID:", "Password:"};
    for (int i = 0; i < 4; ++i) {
        labelControls[static_cast<std::size_t>(i)] = Named(new QLabel(QString::fromLatin1(resourceTexts[static_cast<std::size_t>(i)]), info),
                                                           res::ControlCardLabel1 + i);
        grid->addWidget(labelControls[static_cast<std::size_t>(i)], i + 1, 0);
        grid->addWidget(edits[static_cast<std::size_t>(i)], i + 1, 1);
    }
    urlButton = Named(new QToolButton(info), res::ControlUrlButton);
    urlButton->setIcon(ResourceIcon(res::IconUrl));
    grid->addWidget(urlButton, 2, 2);
    // The reveal pop-up shows "Empty" for an empty password.
    reveal = new RevealButton(res::ControlReveal, [this] {
        UpdateData(true);
        if (password.isEmpty()) password = QStringLiteral("Empty");
        return password;
    }, info);
    grid->addWidget(reveal, 4, 2);
    // The generator's button sits in the password's cell, right of the field.
    generateButton = new QPushButton(QStringLiteral("&Generate..."), info);
    generateButton->setObjectName(QStringLiteral("GeneratePassword"));
    generateButton->setAutoDefault(false);
    generateButton->setToolTip(QStringLiteral("Make a random password or passphrase for this card"));
    auto* passwordRow = new QHBoxLayout;
    grid->removeWidget(passwordEdit);
    passwordRow->addWidget(passwordEdit, 1);
    passwordRow->addWidget(generateButton);
    grid->addLayout(passwordRow, 4, 1);
    grid->addWidget(new QLabel(QStringLiteral("Note:"), info), 5, 0);
    noteEdit = Named(new QPlainTextEdit(info), res::ControlCardNote);
    grid->addWidget(noteEdit, 5, 1, 1, 2);
    layout->addWidget(info);

    auto* attributes = new QGroupBox(QStringLiteral("Attributes"), this);
    auto* row = new QHBoxLayout(attributes);
    automaticBox = Named(new QCheckBox(QStringLiteral("Automatic Access"), attributes), res::ControlAutomaticAccess);
    newWindowBox = Named(new QCheckBox(QStringLiteral("New Browser Window"), attributes), res::ControlNewBrowserWindow);
    row->addWidget(automaticBox);
    row->addWidget(newWindowBox);
    layout->addWidget(attributes);

    auto* buttons = new QDialogButtonBox(this);
    okButton = buttons->addButton(QStringLiteral("Add Card"), QDialogButtonBox::AcceptRole);
    okButton->setObjectName(QStringLiteral("IDOK"));
    okButton->setDefault(true);
    QPushButton* cancel = buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("IDCANCEL"));
    connect(buttons, &QDialogButtonBox::accepted, this, &Dialog::OnOK);
    connect(buttons, &QDialogButtonBox::rejected, this, &Dialog::OnCancel);
    connect(urlButton, &QToolButton::clicked, this, &CCardDlg::OnUrlButton);
    connect(generateButton, &QPushButton::clicked, this, &CCardDlg::OnGenerateButton);
    layout->addWidget(buttons);
}

void CCardDlg::OnInitDialog() {
    Dialog::OnInitDialog();
    if (browserAttributesEnabled == 0 || browserAttributesEnabled == 1) {
        automaticBox->setEnabled(browserAttributesEnabled == 1);
        newWindowBox->setEnabled(browserAttributesEnabled == 1);
    }
    if (editMode == 1) {
        okButton->setText(QStringLiteral("OK"));
        setWindowTitle(QStringLiteral("Edit Card"));
    }
    if (hidePassword == 1) passwordEdit->setEchoMode(QLineEdit::Password);
    if (hidePassword == 0) passwordEdit->setEchoMode(QLineEdit::Normal);
    urlButton->setVisible(HasUrlButton(categoryName));
    nameEdit->setFocus();
}

void CCardDlg::DoDataExchange(bool save) {
    const std::array<std::pair<QLineEdit*, QString*>, 4> edits = {
        {{nameEdit, &name}, {secondEdit, &secondField}, {thirdEdit, &thirdField}, {passwordEdit, &password}}};
    for (const auto& [edit, member] : edits) {
        if (save)
            *member = edit->text();
        else
            edit->setText(*member);
    }
    for (std::size_t i = 0; i < labels.size(); ++i) {
        if (save)
            labels[i] = labelControls[i]->text();
        else
            labelControls[i]->setText(labels[i]);
    }
    if (save) {
        note = noteEdit->toPlainText();
        categoryName = categoryLabel->text();
        newBrowserWindow = newWindowBox->isChecked() ? 1 : 0;
        automaticAccess = automaticBox->isChecked() ? 1 : 0;
    } else {
        noteEdit->setPlainText(note);
        categoryLabel->setText(categoryName);
        newWindowBox->setChecked(newBrowserWindow != 0);
        automaticBox->setChecked(automaticAccess != 0);
    }
}

bool CCardDlg::AcceptMembers() {
    const std::array<std::pair<const QString*, QWidget*>, 5> fields = {
        {{&name, nameEdit}, {&secondField, secondEdit}, {&thirdField, thirdEdit}, {&password, passwordEdit}, {&note, noteEdit}}};
    for (const auto& [text, control] : fields)
        if (!FieldHoldsCardText(*text, *control)) return false;
    return true;
}

void CCardDlg::OnUrlButton() {
    UpdateData(true);
    CEditUrlDlg dialog(this);
    dialog.address = secondField;
    if (dialog.DoModal() == QDialog::Accepted) secondField = dialog.address;
    UpdateData(false);
}

void CCardDlg::OnGenerateButton() {
    CPasswordGeneratorDlg dialog(this);
    if (dialog.DoModal() != QDialog::Accepted) return;
    const SecureString& generated = dialog.Password();
    passwordEdit->setText(QString::fromLatin1(generated.data(), static_cast<qsizetype>(generated.size())));
    passwordEdit->setFocus();
}

}  // namespace tessarel
