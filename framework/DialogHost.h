#pragma once
// The one seam through which the program talks to the person in a modal way: message boxes, file
// dialogs and modal dialog runs. The program installs QtDialogHost, which shows real Qt dialogs;
// tests install ScriptedDialogHost, which answers, fills or cancels without a display.

#include <functional>
#include <optional>

#include <QString>
#include <QStringList>

#include "core/UserInterface.h"

class QDialog;
class QPrinter;
class QWidget;

namespace tessarel {

class Dialog;

struct FileDialogRequest {
    QWidget* parent = nullptr;
    QString caption;
    QString initialPath;   // directory or proposed file name
    QStringList filters;   // "Name (*.ext)" entries, in order
    QString defaultSuffix;  // without the dot; added when the typed name has none
    QString acceptLabel;    // the text of the accept button; empty keeps the dialog's own
    bool showReadOnly = false;  // shows the "Open as read-only" check box
};

class DialogHost {
public:
    virtual ~DialogHost() = default;
    virtual MessageAnswer ShowMessage(const Message& message) = 0;
    virtual std::optional<QString> AskOpenFileName(const FileDialogRequest& request) = 0;
    virtual std::optional<QString> AskSaveFileName(const FileDialogRequest& request) = 0;
    // Runs the dialog modally; returns QDialog::Accepted or QDialog::Rejected.
    virtual int RunModal(Dialog& dialog) = 0;

    // The print dialog on `printer` (printer, range, copies); true when the person chose to print.
    virtual bool RunPrintDialog(QPrinter& printer, QWidget* parent) = 0;
    // Print Setup: paper and orientation of `printer` for the jobs that follow; true on OK.
    virtual bool RunPrintSetup(QPrinter& printer, QWidget* parent) = 0;
    // Shows the pages `paint` draws on `printer` until the person closes the preview. `paint`
    // may run more than once (each time the preview lays the pages out again).
    virtual void RunPrintPreview(QPrinter& printer, QWidget* parent, const std::function<void(QPrinter&)>& paint) = 0;
};

// The installed host. Without one, the Qt host serves.
DialogHost& Dialogs();
// Installs `host` (nullptr restores the Qt host); returns the previous one.
DialogHost* SetDialogHost(DialogHost* host);

// The main window that owned message boxes are centred on; the frame sets it.
void SetMessageOwnerWindow(QWidget* window);
QWidget* MessageOwnerWindow();

// The program's title, the caption of owned message boxes without their own caption.
void SetApplicationTitle(const QString& title);
QString ApplicationTitle();

}  // namespace tessarel
