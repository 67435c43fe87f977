#include "CommandLineInfo.h"

namespace tessarel {

CommandLineInfo CommandLineInfo::Parse(const QStringList& arguments) {
    CommandLineInfo info;
    bool sawFile = false;
    for (const QString& argument : arguments) {
        bool flag = argument.startsWith('/') || argument.startsWith('-');
        if (!flag) {
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

}  // namespace tessarel
