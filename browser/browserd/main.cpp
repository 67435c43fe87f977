// tessarel-browserd: the program's web browser on a desktop. It serves the "WWW_" verbs under the
// service names "Iexplore" and "Netscape" over the program's local IPC and hands the addresses it
// is asked to open to the desktop's default browser. Tessarel starts it (Launch WWW, or the wait
// for a browser that is not running) and finds it beside itself at the first start.
//
//   tessarel-browserd [--help | --version]
//
// TESSAREL_BROWSERD_OPENER, when set, names a program that is run with the address as its one
// argument instead of the desktop's default browser (for tests, or to choose a browser). An
// address with a user name and password goes to the desktop portal over D-Bus instead, never onto
// a command line (CredentialSafeOpener).
// "WWW_Exit" ends it. Exit status 1 when the names are served by another program already.

#include <QDesktopServices>
#include <QGuiApplication>
#include <QProcess>
#include <QUrl>
#include <cstdio>
#include <string>

#include "browser/DesktopPortal.h"
#include "browser/browserd/BrowserCompanion.h"
#include "browser/browserd/CredentialSafeOpener.h"
#include "core/ProcessGuards.h"

namespace {

// Only addresses without user information come here: the command lines below are readable by
// every local user.
bool OpenWithDesktop(const QString& address) {
    const QString opener = qEnvironmentVariable("TESSAREL_BROWSERD_OPENER");
    if (!opener.isEmpty()) return QProcess::startDetached(opener, {address});
    if (QDesktopServices::openUrl(QUrl(address, QUrl::StrictMode))) return true;
    // A platform without desktop services of its own (offscreen, minimal): the freedesktop way.
    return QProcess::startDetached(QStringLiteral("xdg-open"), {address});
}

const char* const kUsage = "usage: tessarel-browserd [--help | --version]\n";

const char* const kHelp =
    "Serves Tessarel's requests to a web browser (the WWW_ verbs under the names Iexplore and\n"
    "Netscape) and opens the addresses in the desktop's default browser. Tessarel starts it\n"
    "when it needs a browser; WWW_Exit ends it.\n"
    "\n"
    "  --help     show this help and end\n"
    "  --version  show the version and end\n"
    "\n"
    "Environment: TESSAREL_BROWSERD_OPENER names a program run with the address instead of the\n"
    "desktop's browser. Exit status 1 when another program serves the names already.\n";

// --help and --version are looked at before the application connects to a display, so that they
// answer on a terminal. Returns whether one was answered.
bool AnswerInformationRequest(int argc, char** argv) {
    if (argc != 2) return false;
    const std::string argument = argv[1];
    if (argument == "--help") {
        std::fputs(kUsage, stdout);
        std::fputs(kHelp, stdout);
        return true;
    }
    if (argument == "--version") {
        std::fputs("tessarel-browserd " TESSAREL_VERSION "\n", stdout);
        return true;
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    tessarel::GuardProcess();
    if (AnswerInformationRequest(argc, argv)) return 0;
    QGuiApplication app(argc, argv);
    QGuiApplication::setQuitOnLastWindowClosed(false);
    if (app.arguments().size() > 1) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    const auto report = [](const QString& message) {
        std::fprintf(stderr, "tessarel-browserd: %s\n", message.toLocal8Bit().constData());
    };
    const auto portal = [](const QString& address) { return tessarel::browser::DesktopPortal::OpenUri(address); };
    tessarel::browser::BrowserCompanion companion(tessarel::browser::CredentialSafeOpener(OpenWithDesktop, portal, report));
    companion.onRefused = report;
    companion.onExit = [&app] { QMetaObject::invokeMethod(&app, &QCoreApplication::quit, Qt::QueuedConnection); };
    if (!companion.Serve()) {
        std::fprintf(stderr, "tessarel-browserd: the browser names are served already\n");
        return 1;
    }
    return app.exec();
}
