// tessarel-xdg-files: writes the desktop files an installation of tessarel brings (the desktop
// entry, the shared-mime-info package of its document types, the program's and the types'
// icons) into a share/ folder, with the same code that registers them per user at start-up, so
// the two never differ. The install step runs it; it prints the files it wrote, one per line.
//
//   tessarel-xdg-files SHARE_DIR PROGRAM
//
// PROGRAM is the path the desktop entry starts (the installed tessarel).

#include <QCoreApplication>
#include <cstdio>

#include "app/CTessarelApp.h"
#include "app/FileTypeRegistration.h"

int main(int argc, char** argv) {
    QCoreApplication qt(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 3) {
        std::fputs("usage: tessarel-xdg-files SHARE_DIR PROGRAM\n", stderr);
        return 2;
    }
    tessarel::CTessarelApp app;
    const std::vector<tessarel::FileTypeEntry> types = app.FileTypes();
    tessarel::FileTypeRegistration files(arguments[1]);
    if (!files.WriteInstallFiles(types, arguments[2])) {
        std::fprintf(stderr, "tessarel-xdg-files: cannot write the files under %s\n", qPrintable(arguments[1]));
        return 1;
    }
    for (const QString& file : files.WrittenFiles(types)) std::printf("%s\n", qPrintable(file));
    return 0;
}
