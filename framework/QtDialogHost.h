#pragma once
// The real dialogs: QMessageBox, QFileDialog and QDialog::exec.

#include "DialogHost.h"

namespace tessarel {

class QtDialogHost : public DialogHost {
public:
    MessageAnswer ShowMessage(const Message& message) override;
    std::optional<QString> AskOpenFileName(const FileDialogRequest& request) override;
    std::optional<QString> AskSaveFileName(const FileDialogRequest& request) override;
    int RunModal(Dialog& dialog) override;
};

}  // namespace tessarel
