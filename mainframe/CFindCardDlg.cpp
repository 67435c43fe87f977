#include "CFindCardDlg.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "cardstore/document/CTessarelDoc.h"
#include "cardstore/CardSearch.h"
#include "framework/ChildFrame.h"
#include "framework/DialogHost.h"
#include "resources/ResourceIds.h"
#include "views/CTessarelView.h"
#include "mainframe/dialogs/CardText.h"

namespace tessarel {

namespace {

void TellOwned(const char* text) {
    Dialogs().ShowMessage(Message{text, ApplicationTitle().toStdString(), MessageButtons::Ok, MessageIcon::None, MessageOwner::MainWindow});
}

}  // namespace

CFindCardDlg::CFindCardDlg(Target searchTarget, QWidget* parent) : Dialog(parent), target(std::move(searchTarget)) {
    setObjectName(QString::number(res::DialogFindCard));
    setWindowTitle(QStringLiteral("Find Card"));
    setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel(QStringLiteral("Search string:"), this));
    searchEdit = new QLineEdit(this);
    searchEdit->setObjectName(QString::number(res::ControlSearchText));
    row->addWidget(searchEdit);
    layout->addLayout(row);
    ignoreCaseBox = new QCheckBox(QStringLiteral("Ignore Case"), this);
    ignoreCaseBox->setObjectName(QString::number(res::ControlIgnoreCase));
    layout->addWidget(ignoreCaseBox);
    auto* buttons = new QDialogButtonBox(this);
    findButton = buttons->addButton(QStringLiteral("Find"), QDialogButtonBox::ActionRole);
    findButton->setObjectName(QString::number(res::ControlFind));
    findButton->setDefault(true);
    findAgainButton = buttons->addButton(QStringLiteral("Find Again"), QDialogButtonBox::ActionRole);
    findAgainButton->setObjectName(QString::number(res::ControlFindAgain));
    findAgainButton->setAutoDefault(false);
    QPushButton* cancel = buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("IDCANCEL"));
    cancel->setAutoDefault(false);
    connect(findButton, &QPushButton::clicked, this, &CFindCardDlg::OnFind);
    connect(findAgainButton, &QPushButton::clicked, this, &CFindCardDlg::OnFindAgain);
    connect(buttons, &QDialogButtonBox::rejected, this, &CFindCardDlg::reject);
    layout->addWidget(buttons);
    // The dialog goes before the frame is torn down at exit: a window of the frame's that is
    // hidden during the frame's destruction reaches a half-destroyed frame.
    connect(qApp, &QCoreApplication::aboutToQuit, this, &CFindCardDlg::reject);
}

void CFindCardDlg::DoDataExchange(bool save) {
    if (save) {
        searchText = searchEdit->text();
        ignoreCase = ignoreCaseBox->isChecked() ? 1 : 0;
    } else {
        searchEdit->setText(searchText);
        ignoreCaseBox->setChecked(ignoreCase != 0);
    }
}

void CFindCardDlg::OnFind() {
    UpdateData(true);
    lastFoundPosition = Search(0);
}

void CFindCardDlg::OnFindAgain() {
    UpdateData(true);
    lastFoundPosition = Search(lastFoundPosition + 1);
}

void CFindCardDlg::reject() {
    if (target.closed) target.closed(this);
    Dialog::reject();
}

int CFindCardDlg::Search(int start) {
    CTessarelDoc* doc = target.activeDocument ? target.activeDocument() : nullptr;
    ChildFrame* child = target.activeChild ? target.activeChild() : nullptr;
    auto* tree = doc ? dynamic_cast<CTessarelView*>(doc->GetFirstView()) : nullptr;
    if (!tree || !child) return -1;
    child->SetActiveView(tree);
    tree->setFocus();
    searchList.clear();
    if (searchText.isEmpty()) {
        TellOwned("Please enter a string.");
        return -1;
    }
    std::optional<SecureString> text = CardTextFromQString(searchText);
    if (!text) return -1;
    searchList = BuildSearchList(doc->Data());
    const int found = FindNextMatch(searchList, *text, ignoreCase != 0, start);
    if (found < 0) {
        TellOwned("No occurrence of this string can be found, please try again.");
        return -1;
    }
    const CCard* card = searchList[static_cast<std::size_t>(found)];
    tree->SelectCardItem(tree->GetCategoryItem(card->GetCategoryCode()), card->GetListIndex());
    tree->setFocus();
    return found;
}

}  // namespace tessarel
