#include "ScriptedDialogHost.h"

#include "Dialog.h"

namespace tessarel {

ScriptedDialogHost::ScriptedDialogHost() { previous = SetDialogHost(this); }

ScriptedDialogHost::~ScriptedDialogHost() {
    // Only the host in charge hands back; a host replaced meanwhile leaves the new one alone.
    if (&Dialogs() == this) SetDialogHost(previous);
}

void ScriptedDialogHost::AnswerMessage(MessageAnswer answer) { steps.push_back(Step{Kind::Message, answer, {}, {}, {}}); }

void ScriptedDialogHost::AnswerFile(const QString& path) { steps.push_back(Step{Kind::OpenFile, MessageAnswer::Ok, path, {}, {}}); }

void ScriptedDialogHost::CancelFile() { steps.push_back(Step{Kind::OpenFile, MessageAnswer::Cancel, std::nullopt, {}, {}}); }

void ScriptedDialogHost::RunDialog(DialogScript script) {
    steps.push_back(Step{Kind::Modal, MessageAnswer::Ok, {}, std::move(script), {}});
}

void ScriptedDialogHost::AnswerPrintDialog(PrinterScript script) {
    steps.push_back(Step{Kind::PrintDialog, MessageAnswer::Ok, {}, {}, std::move(script)});
}

void ScriptedDialogHost::AnswerPrintSetup(PrinterScript script) {
    steps.push_back(Step{Kind::PrintSetup, MessageAnswer::Ok, {}, {}, std::move(script)});
}

void ScriptedDialogHost::ShowPrintPreview(PrinterScript script) {
    steps.push_back(Step{Kind::PrintPreview, MessageAnswer::Ok, {}, {}, std::move(script)});
}

std::vector<std::string> ScriptedDialogHost::MessageTexts() const {
    std::vector<std::string> texts;
    for (const Event& event : events)
        if (event.kind == Kind::Message) texts.push_back(event.message.text);
    return texts;
}

bool ScriptedDialogHost::TakeStep(Kind kind, Step& step, const QString& what) {
    // Open and save dialogs share one kind of step: a test answers "the next file dialog".
    auto matches = [kind](Kind stepKind) {
        bool fileKind = kind == Kind::OpenFile || kind == Kind::SaveFile;
        return fileKind ? stepKind == Kind::OpenFile : stepKind == kind;
    };
    if (steps.empty() || !matches(steps.front().kind)) {
        problems << QStringLiteral("unscripted %1").arg(what);
        return false;
    }
    step = std::move(steps.front());
    steps.pop_front();
    return true;
}

MessageAnswer ScriptedDialogHost::ShowMessage(const Message& message) {
    events.push_back(Event{Kind::Message, message, {}, {}, {}});
    bool scripted = !steps.empty() && steps.front().kind == Kind::Message;
    if (message.buttons == MessageButtons::Ok && !scripted) return MessageAnswer::Ok;
    Step step;
    if (!TakeStep(Kind::Message, step, QStringLiteral("message \"%1\"").arg(QString::fromStdString(message.text))))
        return MessageAnswer::Cancel;
    return step.answer;
}

std::optional<QString> ScriptedDialogHost::AnswerFileRequest(Kind kind, const FileDialogRequest& request) {
    events.push_back(Event{kind, {}, request, {}, {}});
    Step step;
    if (!TakeStep(kind, step, QStringLiteral("file dialog \"%1\"").arg(request.caption))) return std::nullopt;
    return step.path;
}

std::optional<QString> ScriptedDialogHost::AskOpenFileName(const FileDialogRequest& request) {
    return AnswerFileRequest(Kind::OpenFile, request);
}

std::optional<QString> ScriptedDialogHost::AskSaveFileName(const FileDialogRequest& request) {
    return AnswerFileRequest(Kind::SaveFile, request);
}

int ScriptedDialogHost::RunModal(Dialog& dialog) {
    dialog.Initialise();
    events.push_back(Event{Kind::Modal, {}, {}, QString::fromLatin1(dialog.metaObject()->className()), dialog.windowTitle()});
    const QString what = QStringLiteral("dialog %1").arg(events.back().dialogClass);
    for (;;) {
        Step step;
        if (!TakeStep(Kind::Modal, step, what)) {
            dialog.OnCancel();
            return QDialog::Rejected;
        }
        if (step.script(dialog) != QDialog::Accepted) {
            dialog.OnCancel();
            return dialog.result();
        }
        // A result nothing else sets tells an OK the dialog refused (it stays open) from one
        // that closed it.
        constexpr int kStillOpen = -1;
        dialog.setResult(kStillOpen);
        dialog.OnOK();
        if (dialog.result() != kStillOpen) return dialog.result();
    }
}

bool ScriptedDialogHost::RunPrinterStep(Kind kind, QPrinter& printer, const QString& what) {
    events.push_back(Event{kind, {}, {}, {}, {}});
    Step step;
    if (!TakeStep(kind, step, what)) return false;
    return step.printerScript && step.printerScript(printer);
}

bool ScriptedDialogHost::RunPrintDialog(QPrinter& printer, QWidget*) {
    return RunPrinterStep(Kind::PrintDialog, printer, QStringLiteral("print dialog"));
}

bool ScriptedDialogHost::RunPrintSetup(QPrinter& printer, QWidget*) {
    return RunPrinterStep(Kind::PrintSetup, printer, QStringLiteral("print setup dialog"));
}

void ScriptedDialogHost::RunPrintPreview(QPrinter& printer, QWidget*, const std::function<void(QPrinter&)>& paint) {
    if (RunPrinterStep(Kind::PrintPreview, printer, QStringLiteral("print preview"))) paint(printer);
}

}  // namespace tessarel
