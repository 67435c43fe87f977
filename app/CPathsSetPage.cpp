#include "CPathsSetPage.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "framework/DialogHost.h"

namespace tessarel {

CPathsSetPage::CPathsSetPage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("209"));
    auto* box = new QGroupBox(QStringLiteral("Internet applications paths:"), this);
    box->setGeometry(8, 8, 420, 250);
    auto* label = new QLabel(QStringLiteral("Choose path for:"), box);
    label->setGeometry(10, 20, 150, 18);
    // Member order; the rows are laid out in the same order.
    AddRow(box, &CPathsSetPage::explorer, 1030, 1117, "Explorer:", 42);
    AddRow(box, &CPathsSetPage::email, 1028, 1016, "Mail App:", 70);
    AddRow(box, &CPathsSetPage::navigator, 1027, 1116, "Navigator:", 98);
    AddRow(box, &CPathsSetPage::news, 1032, 1018, "News Reader:", 126);
    AddRow(box, &CPathsSetPage::helpReader, 1035, 1019, "Acrobat Reader:", 154);
    AddRow(box, &CPathsSetPage::ftp, 1033, 1017, "FTP App:", 182);
    AddRow(box, &CPathsSetPage::telnet, 1036, 1015, "Telnet:", 210);
    auto* find = new QPushButton(QStringLiteral("Find Path..."), this);
    find->setObjectName(QStringLiteral("1034"));
    find->setGeometry(8, 266, 110, 26);
    connect(find, &QPushButton::clicked, this, [this] { OnFindPath(); });
}

void CPathsSetPage::AddRow(QWidget* group, QString CPathsSetPage::*member, int editId, int radioId, const char* caption, int top) {
    auto* choice = new QRadioButton(QString::fromLatin1(caption), group);
    choice->setObjectName(QString::number(radioId));
    choice->setGeometry(10, top, 120, 22);
    auto* edit = new QLineEdit(group);
    edit->setObjectName(QString::number(editId));
    edit->setGeometry(134, top, 276, 22);
    if (radioId == 1117) explorerChoice = choice;
    rows.push_back({member, edit, choice});
}

void CPathsSetPage::OnInitPage() {
    DoDataExchange(false);
    explorerChoice->setChecked(true);
}

void CPathsSetPage::DoDataExchange(bool save) {
    for (const Row& row : rows) {
        if (save)
            this->*row.member = row.edit->text();
        else
            row.edit->setText(this->*row.member);
    }
}

void CPathsSetPage::OnFindPath() {
    FileDialogRequest request;
    request.parent = this;
    request.caption = QStringLiteral("Find Internet Applications Paths");
    // "All Files" matches every name, not only names in parentheses.
    request.filters = {QStringLiteral("Executable Files (*.exe)"), QStringLiteral("All Files (*)")};
    request.acceptLabel = QStringLiteral("&OK");
    request.showReadOnly = true;
    const std::optional<QString> chosen = Dialogs().AskOpenFileName(request);
    if (!chosen) return;
    DoDataExchange(true);
    for (const Row& row : rows)
        if (row.choice->isChecked()) this->*row.member = *chosen;
    DoDataExchange(false);
}

}  // namespace tessarel
