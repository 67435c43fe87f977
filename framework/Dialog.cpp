#include "Dialog.h"

#include "DialogHost.h"

namespace tessarel {

Dialog::Dialog(QWidget* parent) : QDialog(parent ? parent : MessageOwnerWindow()) {}

int Dialog::DoModal() { return Dialogs().RunModal(*this); }

void Dialog::Initialise() { OnInitDialog(); }

void Dialog::OnInitDialog() { UpdateData(false); }

void Dialog::DoDataExchange(bool) {}

void Dialog::OnOK() {
    UpdateData(true);
    if (!AcceptMembers()) return;
    accept();
}

void Dialog::OnCancel() { reject(); }

}  // namespace tessarel
