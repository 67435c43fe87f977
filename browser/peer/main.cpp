// tessarel-browser-peer: a scripted stand-in web browser on the local IPC. It serves the "WWW_"
// verbs under the service names it is given and prints one line per event on standard output
// ("READY" once it serves), so tests and people can watch what the program asks of a browser.
//
//   tessarel-browser-peer [--service NAME]... [--title TEXT] [--window ID] [--stall-ms N]
//                         [--silent TOPIC]... [--report-progress]
//
// Without --service it serves "Netscape" and "Iexplore". "WWW_Exit" ends it, as does the end of
// its standard input.

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTimer>
#include <cstdio>
#include <unistd.h>

#include "browser/peer/ScriptedBrowser.h"

namespace {

using tessarel::browser::ScriptedBrowser;

bool ParseArguments(const QStringList& arguments, QStringList& services, ScriptedBrowser::Script& script) {
    for (int i = 1; i < arguments.size(); ++i) {
        const QString& option = arguments[i];
        if (option == QLatin1String("--report-progress")) {
            script.reportProgress = true;
            continue;
        }
        if (i + 1 >= arguments.size()) return false;
        const QString value = arguments[++i];
        bool ok = true;
        if (option == QLatin1String("--service")) services << value;
        else if (option == QLatin1String("--title")) script.title = value;
        else if (option == QLatin1String("--window")) script.windowId = value.toUInt(&ok);
        else if (option == QLatin1String("--stall-ms")) script.stallMs = value.toInt(&ok);
        else if (option == QLatin1String("--silent")) script.silentTopics.insert(value.toLower());
        else return false;
        if (!ok) return false;
    }
    if (services.isEmpty()) services << QStringLiteral("Netscape") << QStringLiteral("Iexplore");
    return true;
}

void Print(const std::string& line) {
    std::string escaped;
    for (const char c : line) escaped += c == '\n' ? std::string("\\n") : std::string(1, c);
    std::fprintf(stdout, "%s\n", escaped.c_str());
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList services;
    ScriptedBrowser::Script script;
    if (!ParseArguments(app.arguments(), services, script)) {
        std::fprintf(stderr, "usage: tessarel-browser-peer [--service NAME]... [--title TEXT] [--window ID] "
                             "[--stall-ms N] [--silent TOPIC]... [--report-progress]\n");
        return 2;
    }
    ScriptedBrowser browser(script);
    browser.onEvent = Print;
    browser.onExit = [&app] { app.quit(); };
    if (!browser.Ipc().IsValid() || !browser.Serve(services)) {
        std::fprintf(stderr, "tessarel-browser-peer: cannot serve %s\n", qPrintable(services.join(u',')));
        return 1;
    }
    // The end of standard input ends the peer, so a test that dies takes its browser along.
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, &app, [&app, &input] {
        char buffer[256];
        if (::read(STDIN_FILENO, buffer, sizeof buffer) <= 0) {
            input.setEnabled(false);
            app.quit();
        }
    });
    Print("READY");
    return app.exec();
}
