// tessarel-browserd: the program's web browser on a desktop. It serves the "WWW_" verbs under the
// service names "Iexplore" and "Netscape" over the program's local IPC and hands the addresses it
// is asked to open to the desktop's default browser. Tessarel starts it (Launch WWW, or the wait
// for a browser that is not running) and finds it beside itself at the first start.
//
//   tessarel-browserd
//
// TESSAREL_BROWSERD_OPENER, when set, names a program that is run with the address as its one
// argument instead of the desktop's default browser (for tests, or to choose a browser).
// "WWW_Exit" ends it. Exit status 1 when the names are served by another program already.

#include <QDesktopServices>
#include <QGuiApplication>
#include <QProcess>
#include <QUrl>
#include <cstdio>

#include "browser/browserd/BrowserCompanion.h"
#include "core/ProcessGuards.h"

namespace {

bool OpenWithDesktop(const QString& address) {
    const QString opener = qEnvironmentVariable("TESSAREL_BROWSERD_OPENER");
    if (!opener.isEmpty()) return QProcess::startDetached(opener, {address});
    if (QDesktopServices::openUrl(QUrl(address, QUrl::StrictMode))) return true;
    // A platform without desktop services of its own (offscreen, minimal): the freedesktop way.
    return QProcess::startDetached(QStringLiteral("xdg-open"), {address});
}

}  // namespace

int main(int argc, char** argv) {
    tessarel::GuardProcess();
    QGuiApplication app(argc, argv);
    QGuiApplication::setQuitOnLastWindowClosed(false);
    if (app.arguments().size() > 1) {
        std::fprintf(stderr, "usage: tessarel-browserd\n");
        return 2;
    }
    tessarel::browser::BrowserCompanion companion(OpenWithDesktop);
    companion.onRefused = [](const QString& message) {
        std::fprintf(stderr, "tessarel-browserd: %s\n", message.toLocal8Bit().constData());
    };
    companion.onExit = [&app] { QMetaObject::invokeMethod(&app, &QCoreApplication::quit, Qt::QueuedConnection); };
    if (!companion.Serve()) {
        std::fprintf(stderr, "tessarel-browserd: the browser names are served already\n");
        return 1;
    }
    return app.exec();
}
