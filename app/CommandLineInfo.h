#pragma once
// The command line of the program: the shell command it asks for and the file it names. A flag
// starts with "/" or "-"; "p", "pt" and "dde" are compared with exact case, the others without.

#include <QString>
#include <QStringList>

namespace tessarel {

struct CommandLineInfo {
    enum class Shell { Nothing, FileOpen, Print, PrintTo, Dde, Unregister };
    Shell shell = Shell::Nothing;
    QString fileName;
    QStringList printTo;  // printer, driver, port after "pt"
    bool showSplash = true;

    static CommandLineInfo Parse(const QStringList& arguments);
};

}  // namespace tessarel
