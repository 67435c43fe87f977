// tessarel: the password manager.
#include <QApplication>
#include <QTimer>
#include <cstdio>

#include "CTessarelApp.h"
#include "CommandLineInfo.h"
#include "core/ProcessGuards.h"

namespace {

// "--help" and "--version" answer on a terminal without a display, so they are looked at before
// the application object connects to one.
bool AnswersInformationRequest(int argc, char** argv) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    const tessarel::CommandLineInfo info = tessarel::CommandLineInfo::Parse(arguments);
    if (!info.showHelp && !info.showVersion) return false;
    const QString text = info.showHelp ? tessarel::CommandLineInfo::HelpText() : tessarel::CommandLineInfo::VersionText();
    std::fputs(text.toLocal8Bit().constData(), stdout);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    tessarel::GuardProcess();
    if (AnswersInformationRequest(argc, argv)) return 0;
    QApplication qt(argc, argv);
    tessarel::CTessarelApp app;
    if (!app.InitInstance(QCoreApplication::arguments().mid(1))) return 0;
    // For measuring the cold start: end as soon as the event loop is first idle with the main
    // window shown.
    if (qEnvironmentVariableIsSet("TESSAREL_EXIT_WHEN_IDLE")) QTimer::singleShot(0, &qt, &QApplication::quit);
    return QApplication::exec();
}
