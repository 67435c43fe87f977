// Card > Generate Password…: the generator without a card dialog. The card dialog is modal, so
// when this command runs no card is waiting for the password; the dialog's accept button copies
// it to the Clipboard through the same path as Copy Password.

#include "CMainFrame.h"
#include "mainframe/dialogs/CPasswordGeneratorDlg.h"
#include "resources/ResourceIds.h"

namespace tessarel {

void CMainFrame::RegisterGeneratorCommand() {
    Register(CommandRow::Always(res::GeneratePassword, [this] { OnGeneratePassword(); }));
}

void CMainFrame::OnGeneratePassword() {
    CPasswordGeneratorDlg dialog(this, true);
    if (dialog.DoModal() == QDialog::Accepted) PlaceTextOnClipboard(dialog.Password());
}

}  // namespace tessarel
