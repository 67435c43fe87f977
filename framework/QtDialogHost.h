#pragma once
// The real dialogs: QMessageBox, QFileDialog, QDialog::exec and the print dialogs of Qt.

#include "DialogHost.h"

namespace tessarel {

class QtDialogHost : public DialogHost {
public:
    MessageAnswer ShowMessage(const Message& message) override;
    std::optional<QString> AskOpenFileName(const FileDialogRequest& request) override;
    std::optional<QString> AskSaveFileName(const FileDialogRequest& request) override;
    int RunModal(Dialog& dialog) override;
    bool RunPrintDialog(QPrinter& printer, QWidget* parent) override;
    bool RunPrintSetup(QPrinter& printer, QWidget* parent) override;
    void RunPrintPreview(QPrinter& printer, QWidget* parent, const std::function<void(QPrinter&)>& paint) override;
};

}  // namespace tessarel
