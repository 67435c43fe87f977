#include "CEditUrlDlg.h"

#include <QDialogButtonBox>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "GuiUserInterface.h"
#include "resources/ResourceIds.h"

namespace tessarel {

CEditUrlDlg::CEditUrlDlg(QWidget* parent) : Dialog(parent) {
    setObjectName(QString::number(res::DialogEditUrl));
    setWindowTitle(QStringLiteral("Edit URL"));
    auto* layout = new QVBoxLayout(this);
    addressEdit = new QPlainTextEdit(this);
    addressEdit->setObjectName(QString::number(res::ControlUrlText));
    addressEdit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    layout->addWidget(addressEdit);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &Dialog::OnOK);
    connect(buttons, &QDialogButtonBox::rejected, this, &Dialog::OnCancel);
    layout->addWidget(buttons);
}

void CEditUrlDlg::DoDataExchange(bool save) {
    if (save)
        address = addressEdit->toPlainText();
    else
        addressEdit->setPlainText(address);
}

// The text must fit a card before the dialog closes.
bool CEditUrlDlg::AcceptMembers() { return FieldHoldsCardText(address, *addressEdit); }

}  // namespace tessarel
