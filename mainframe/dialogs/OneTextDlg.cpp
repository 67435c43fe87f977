#include "OneTextDlg.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "GuiUserInterface.h"

namespace tessarel {

OneTextDlg::OneTextDlg(const Look& look, QString& exchanged, QWidget* parent) : Dialog(parent), text(exchanged) {
    setObjectName(QString::number(look.dialogId));
    setWindowTitle(QString::fromLatin1(look.title));
    auto* layout = new QVBoxLayout(this);
    if (look.label) layout->addWidget(new QLabel(QString::fromLatin1(look.label), this));
    edit = new QPlainTextEdit(this);
    edit->setObjectName(QString::number(look.editId));
    if (look.scrollBarAlwaysOn) edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    layout->addWidget(edit);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &Dialog::OnOK);
    connect(buttons, &QDialogButtonBox::rejected, this, &Dialog::OnCancel);
    layout->addWidget(buttons);
}

void OneTextDlg::DoDataExchange(bool save) {
    if (save)
        text = edit->toPlainText();
    else
        edit->setPlainText(text);
}

bool OneTextDlg::AcceptMembers() { return FieldHoldsCardText(text, *edit); }

}  // namespace tessarel
