// tessarel: the password manager.
#include <QApplication>

#include "CTessarelApp.h"

int main(int argc, char** argv) {
    QApplication qt(argc, argv);
    tessarel::CTessarelApp app;
    if (!app.InitInstance(QCoreApplication::arguments().mid(1))) return 0;
    return QApplication::exec();
}
