#pragma once
// The command line of the program: the shell command it asks for and the file it names. A flag
// starts with "/" or "-"; "p", "pt" and "dde" are compared with exact case, the others without.
// "--help" and "--version" are the usual ones of a command-line program, spelled exactly so.

#include <QString>
#include <QStringList>

namespace tessarel {

struct CommandLineInfo {
    enum class Shell { Nothing, FileOpen, Print, PrintTo, Dde, Unregister };
    Shell shell = Shell::Nothing;
    QString fileName;
    QStringList printTo;  // printer, driver, port after "pt"
    bool showSplash = true;
    // "--help" and "--version": the program prints HelpText() or VersionText() and ends before
    // it needs a display.
    bool showHelp = false;
    bool showVersion = false;

    static CommandLineInfo Parse(const QStringList& arguments);
    static QString HelpText();
    static QString VersionText();
};

}  // namespace tessarel
