#include "QtDialogHost.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>

#include "Dialog.h"
#include "PreviewPageCount.h"
#include "core/Win1252.h"

namespace tessarel {

namespace {

QString FromBytes(const std::string& bytes) { return QString::fromStdString(Win1252ToUtf8(bytes)); }

QMessageBox::StandardButtons ButtonsOf(MessageButtons buttons) {
    switch (buttons) {
        case MessageButtons::Ok: return QMessageBox::Ok;
        case MessageButtons::OkCancel: return QMessageBox::Ok | QMessageBox::Cancel;
        case MessageButtons::YesNo: return QMessageBox::Yes | QMessageBox::No;
        case MessageButtons::YesNoCancel: return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

QMessageBox::Icon IconOf(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::None: return QMessageBox::NoIcon;
        case MessageIcon::Information: return QMessageBox::Information;
        case MessageIcon::Warning: return QMessageBox::Warning;
        case MessageIcon::Error: return QMessageBox::Critical;
        case MessageIcon::Question: return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

MessageAnswer AnswerOf(int button) {
    switch (button) {
        case QMessageBox::Yes: return MessageAnswer::Yes;
        case QMessageBox::No: return MessageAnswer::No;
        case QMessageBox::Ok: return MessageAnswer::Ok;
        default: return MessageAnswer::Cancel;
    }
}

QString CaptionOf(const Message& message) {
    if (!message.caption.empty()) return FromBytes(message.caption);
    // An owner-less box carries the system's default title; owned boxes the program's title.
    if (message.owner == MessageOwner::MainWindow) return ApplicationTitle();
    return QStringLiteral("Error");
}

}  // namespace

MessageAnswer QtDialogHost::ShowMessage(const Message& message) {
    QWidget* owner = message.owner == MessageOwner::MainWindow ? MessageOwnerWindow() : nullptr;
    QMessageBox box(IconOf(message.icon), CaptionOf(message), FromBytes(message.text), ButtonsOf(message.buttons), owner);
    return AnswerOf(box.exec());
}

std::optional<QString> QtDialogHost::AskOpenFileName(const FileDialogRequest& request) {
    if (request.acceptLabel.isEmpty() && !request.showReadOnly) {
        QString path = QFileDialog::getOpenFileName(request.parent, request.caption, request.initialPath, request.filters.join(";;"));
        if (path.isEmpty()) return std::nullopt;
        return path;
    }
    QFileDialog dialog(request.parent, request.caption, request.initialPath);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters(request.filters);
    if (!request.acceptLabel.isEmpty()) dialog.setLabelText(QFileDialog::Accept, request.acceptLabel);
    if (request.showReadOnly) {
        // The read-only choice needs a box of our own, so the dialog is Qt's widget dialog.
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout()))
            grid->addWidget(new QCheckBox(QStringLiteral("Open as &read-only"), &dialog), grid->rowCount(), 0, 1, -1);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().front();
}

std::optional<QString> QtDialogHost::AskSaveFileName(const FileDialogRequest& request) {
    QFileDialog dialog(request.parent, request.caption, request.initialPath);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters(request.filters);
    dialog.setDefaultSuffix(request.defaultSuffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().front();
}

int QtDialogHost::RunModal(Dialog& dialog) {
    dialog.Initialise();
    return dialog.exec();
}

bool QtDialogHost::RunPrintDialog(QPrinter& printer, QWidget* parent) {
    QPrintDialog dialog(&printer, parent);
    // Only whole pages are printed: there is no selection or current page to print.
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
    return dialog.exec() == QDialog::Accepted;
}

bool QtDialogHost::RunPrintSetup(QPrinter& printer, QWidget* parent) {
    QPageSetupDialog dialog(&printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

void QtDialogHost::RunPrintPreview(QPrinter& printer, QWidget* parent, const std::function<void(QPrinter&)>& paint) {
    QPrintPreviewDialog dialog(&printer, parent);
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog, [&paint](QPrinter* target) {
        if (target) paint(*target);
    });
    // One page or two side by side, as the person left the last preview.
    PreviewPageCount::Apply(dialog);
    dialog.exec();
    PreviewPageCount::Remember(dialog);
}

}  // namespace tessarel
