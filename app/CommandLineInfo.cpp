#include "CommandLineInfo.h"

namespace tessarel {

namespace {

bool IsKnownFlagName(const QString& name) {
    for (const char* known : {"p", "pt", "dde", "Unregister", "Unregserver", "Embedding", "Automation"})
        if (name.compare(QLatin1String(known), Qt::CaseInsensitive) == 0) return true;
    return false;
}

// "-" always starts a flag. "/" starts a flag only when one of the program's flag names follows
// (in any case; "p", "pt" and "dde" act only in their exact case): an absolute path, such as the
// one the desktop passes after "/dde", starts with "/" too.
bool IsFlag(const QString& argument) {
    if (argument.startsWith('-')) return true;
    return argument.startsWith('/') && IsKnownFlagName(argument.mid(1));
}

}  // namespace

CommandLineInfo CommandLineInfo::Parse(const QStringList& arguments) {
    CommandLineInfo info;
    bool sawFile = false;
    for (const QString& argument : arguments) {
        if (argument == QLatin1String("--help") || argument == QLatin1String("--version")) {
            (argument == QLatin1String("--help") ? info.showHelp : info.showVersion) = true;
            continue;
        }
        if (!IsFlag(argument)) {
            if (info.shell == Shell::PrintTo && sawFile && info.printTo.size() < 3)
                info.printTo << argument;
            else if (!sawFile) {
                info.fileName = argument;
                sawFile = true;
            }
            continue;
        }
        QString name = argument.mid(1);
        if (name == QLatin1String("p"))
            info.shell = Shell::Print;
        else if (name == QLatin1String("pt"))
            info.shell = Shell::PrintTo;
        else if (name == QLatin1String("dde"))
            info.shell = Shell::Dde;
        else if (name.compare(QLatin1String("Unregister"), Qt::CaseInsensitive) == 0 ||
                 name.compare(QLatin1String("Unregserver"), Qt::CaseInsensitive) == 0)
            info.shell = Shell::Unregister;
        else if (name.compare(QLatin1String("Embedding"), Qt::CaseInsensitive) == 0 ||
                 name.compare(QLatin1String("Automation"), Qt::CaseInsensitive) == 0)
            info.showSplash = false;
    }
    // A file name alone names the open command, which start-up does not run.
    if (info.shell == Shell::Nothing && sawFile) info.shell = Shell::FileOpen;
    return info;
}

QString CommandLineInfo::HelpText() {
    return QStringLiteral(
        "Usage: tessarel [FLAG] [FILE]\n"
        "Tessarel keeps passwords and account details in card files (.qdf plain, .qde encrypted)\n"
        "and encrypts single files (.~~~).\n"
        "\n"
        "A flag starts with \"-\" or \"/\". p, pt and dde are written in exactly this case;\n"
        "the others in any case.\n"
        "  -dde FILE                     open FILE in the running program, or start and open it\n"
        "  -p FILE                       print FILE on the default printer and end\n"
        "  -pt FILE PRINTER DRIVER PORT  print FILE on PRINTER and end\n"
        "  -Unregister, -Unregserver     remove this user's file types and settings, and end\n"
        "  -Embedding, -Automation       start without the splash window\n"
        "  --help                        show this help and end\n"
        "  --version                     show the version and end\n"
        "\n"
        "A file name alone is not opened.\n"
        "See tessarel(1) for the file types, the settings and the environment.\n");
}

QString CommandLineInfo::VersionText() { return QStringLiteral("tessarel " TESSAREL_VERSION "\n"); }

}  // namespace tessarel
