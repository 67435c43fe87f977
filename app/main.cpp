// tessarel: the password manager.
#include <QApplication>
#include <QTimer>

#include "CTessarelApp.h"
#include "core/ProcessGuards.h"

int main(int argc, char** argv) {
    tessarel::GuardProcess();
    QApplication qt(argc, argv);
    tessarel::CTessarelApp app;
    if (!app.InitInstance(QCoreApplication::arguments().mid(1))) return 0;
    // For measuring the cold start: end as soon as the event loop is first idle with the main
    // window shown.
    if (qEnvironmentVariableIsSet("TESSAREL_EXIT_WHEN_IDLE")) QTimer::singleShot(0, &qt, &QApplication::quit);
    return QApplication::exec();
}
