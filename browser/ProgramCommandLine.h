#pragma once
// A helper program's stored path, run as a command line: "/usr/bin/thunderbird -compose" starts
// thunderbird with one argument. Words are split as the desktop's shells split them, without
// expanding anything: blanks separate words; '...' keeps everything literally; "..." keeps all but
// a backslash before $, `, ", \ or a line break; a backslash outside quotes keeps the next
// character. No variables, wildcards, "~" or operators: ; | & < > are ordinary characters, and
// no shell is run. A stored path that, as a whole, names an existing file is that program alone,
// so "/opt/My Browser/browser" needs no quotes.

#include <QString>
#include <QStringList>
#include <optional>

namespace tessarel::browser {

class ProgramCommandLine {
public:
    // The words of `commandLine`; nullopt when a quote is left open or a backslash ends it.
    static std::optional<QStringList> Split(const QString& commandLine);
    // The program and its arguments for a stored path (the rule above); nullopt when there is
    // nothing to run or the line cannot be split.
    static std::optional<QStringList> Resolve(const QString& stored);
    // Starts the program of a stored path on its own; false when it could not be started.
    static bool StartDetached(const QString& stored);
};

}  // namespace tessarel::browser
