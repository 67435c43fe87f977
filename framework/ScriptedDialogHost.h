#pragma once
// The dialog seam for tests: every message box, file dialog and modal run is recorded, and each is
// answered from a queue of scripted steps. An OK-only message needs no step (it is answered OK and
// recorded); anything else that arrives without its step, or with a step of another kind, is
// recorded as a problem and cancelled, so a test sees it instead of hanging on a real dialog.

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "DialogHost.h"

namespace tessarel {

class ScriptedDialogHost : public DialogHost {
public:
    enum class Kind { Message, OpenFile, SaveFile, Modal, PrintDialog, PrintSetup, PrintPreview };
    struct Event {
        Kind kind;
        Message message;             // Kind::Message
        FileDialogRequest request;   // file dialogs
        QString dialogClass;         // Kind::Modal: the dialog's class name
        QString dialogTitle;         // Kind::Modal: the window title after initialisation
    };
    // Fills or clicks the dialog's controls; returns QDialog::Accepted to press OK (the
    // dialog's own OK path then runs) or QDialog::Rejected to cancel. When the dialog refuses
    // the OK it stays open, and the next scripted dialog step goes on with the same dialog.
    using DialogScript = std::function<int(Dialog&)>;
    // Sets up the printer as the person would in a print dialog (for a test: usually PDF output
    // to a file); returns true to print (or to confirm Print Setup, or to let a preview draw).
    using PrinterScript = std::function<bool(QPrinter&)>;

    ScriptedDialogHost();   // installs itself
    ~ScriptedDialogHost() override;  // restores the previous host

    void AnswerMessage(MessageAnswer answer);
    void AnswerFile(const QString& path);
    void CancelFile();
    void RunDialog(DialogScript script);
    void AnswerPrintDialog(PrinterScript script);
    void AnswerPrintSetup(PrinterScript script);
    // A preview draws its pages once on the printer the script prepared, then closes.
    void ShowPrintPreview(PrinterScript script);

    const std::vector<Event>& Events() const { return events; }
    std::vector<std::string> MessageTexts() const;
    const QStringList& Problems() const { return problems; }
    std::size_t PendingSteps() const { return steps.size(); }

    MessageAnswer ShowMessage(const Message& message) override;
    std::optional<QString> AskOpenFileName(const FileDialogRequest& request) override;
    std::optional<QString> AskSaveFileName(const FileDialogRequest& request) override;
    int RunModal(Dialog& dialog) override;
    bool RunPrintDialog(QPrinter& printer, QWidget* parent) override;
    bool RunPrintSetup(QPrinter& printer, QWidget* parent) override;
    void RunPrintPreview(QPrinter& printer, QWidget* parent, const std::function<void(QPrinter&)>& paint) override;

private:
    struct Step {
        Kind kind;
        MessageAnswer answer = MessageAnswer::Ok;
        std::optional<QString> path;
        DialogScript script;
        PrinterScript printerScript;
    };
    bool TakeStep(Kind kind, Step& step, const QString& what);
    std::optional<QString> AnswerFileRequest(Kind kind, const FileDialogRequest& request);
    bool RunPrinterStep(Kind kind, QPrinter& printer, const QString& what);

    std::deque<Step> steps;
    std::vector<Event> events;
    QStringList problems;
    DialogHost* previous = nullptr;
};

}  // namespace tessarel
