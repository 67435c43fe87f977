#include "CNoteDlg.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "GuiUserInterface.h"
#include "resources/ResourceIds.h"

namespace tessarel {

CNoteDlg::CNoteDlg(QWidget* parent) : Dialog(parent) {
    setObjectName(QString::number(res::DialogNote));
    setWindowTitle(QStringLiteral("Note "));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Note:"), this));
    noteEdit = new QPlainTextEdit(this);
    noteEdit->setObjectName(QString::number(res::ControlNoteText));
    layout->addWidget(noteEdit);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &Dialog::OnOK);
    connect(buttons, &QDialogButtonBox::rejected, this, &Dialog::OnCancel);
    layout->addWidget(buttons);
}

void CNoteDlg::DoDataExchange(bool save) {
    if (save)
        note = noteEdit->toPlainText();
    else
        noteEdit->setPlainText(note);
}

// The text must fit a card before the dialog closes.
bool CNoteDlg::AcceptMembers() { return FieldHoldsCardText(note, *noteEdit); }

}  // namespace tessarel
