#include "DialogHost.h"

#include <QPointer>
#include <QWidget>

#include "QtDialogHost.h"

namespace tessarel {

namespace {
QtDialogHost& QtHost() {
    static QtDialogHost host;
    return host;
}
DialogHost* installedHost = nullptr;
QPointer<QWidget> ownerWindow;
QString applicationTitle;
}  // namespace

DialogHost& Dialogs() { return installedHost ? *installedHost : QtHost(); }

DialogHost* SetDialogHost(DialogHost* host) {
    DialogHost* previous = installedHost;
    installedHost = host;
    return previous;
}

void SetMessageOwnerWindow(QWidget* window) { ownerWindow = window; }
QWidget* MessageOwnerWindow() { return ownerWindow.data(); }

void SetApplicationTitle(const QString& title) { applicationTitle = title; }
QString ApplicationTitle() { return applicationTitle; }

}  // namespace tessarel
