// --help and --version of the three programs: answered on standard output with status 0, on a
// terminal without a display, and without disturbing the commands and flags they sit beside.
#include <QDir>
#include <QTemporaryDir>
#include <QMap>
#include <gtest/gtest.h>

#include "PackagingProcess.h"

namespace tessarel::test {
namespace {

// What a terminal without a desktop gives: a program that needed a display would fail here.
const QMap<QString, QString> kNoDisplay{{"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}, {"QT_QPA_PLATFORM", ""}};

QStringList CliCommandUsages() {
    QStringList usages;
    for (const QString& line : QString::fromUtf8(RunProgram(BuiltProgram("tessarel-cli"), {"--help"}).out).split('\n'))
        if (line.startsWith("  tessarel-cli ") && !line.startsWith("  tessarel-cli [")) usages << line.mid(15);
    return usages;
}

TEST(ProgramInformationTest, EveryProgramAnswersWithoutADisplay) {
    struct Case {
        QString program;
        QString argument;
        QString expectedStart;
    };
    const QString version = QStringLiteral(TESSAREL_EXPECTED_VERSION);
    const Case cases[] = {
        {"tessarel", "--version", "tessarel " + version + "\n"},
        {"tessarel", "--help", "Usage: tessarel [FLAG] [FILE]\n"},
        {"tessarel-cli", "--version", "tessarel-cli " + version + "\n"},
        {"tessarel-cli", "--help", "usage:\n  tessarel-cli "},
        {"tessarel-browserd", "--version", "tessarel-browserd " + version + "\n"},
        {"tessarel-browserd", "--help", "usage: tessarel-browserd [--help | --version]\n"},
    };
    QTemporaryDir home;
    QMap<QString, QString> environment = kNoDisplay;
    environment.insert("XDG_DATA_HOME", home.filePath("data"));
    for (const Case& c : cases) {
        SCOPED_TRACE((c.program + " " + c.argument).toStdString());
        ProcessRun run = RunProgram(BuiltProgram(c.program), {c.argument}, environment);
        EXPECT_EQ(run.exitStatus, 0) << run.err.toStdString();
        EXPECT_TRUE(run.err.isEmpty()) << run.err.toStdString();
        EXPECT_TRUE(QString::fromUtf8(run.out).startsWith(c.expectedStart)) << run.out.toStdString();
        if (c.argument == "--version") {
            EXPECT_EQ(QString::fromUtf8(run.out), c.expectedStart);
        }
    }
    // The program ended before its start-up: nothing was registered for the user.
    EXPECT_FALSE(QDir(home.filePath("data")).exists());
}

TEST(ProgramInformationTest, TheProgramsHelpNamesEveryFlag) {
    const QString help = QString::fromUtf8(RunProgram(BuiltProgram("tessarel"), {"--help"}, kNoDisplay).out);
    for (const char* flag : {"-dde FILE", "-p FILE", "-pt FILE PRINTER DRIVER PORT", "-Unregister", "-Unregserver", "-Embedding",
                             "-Automation", "--help", "--version"})
        EXPECT_TRUE(help.contains(QLatin1String(flag))) << flag;
}

TEST(ProgramInformationTest, EveryCliCommandAnswersHelpWithItsUsage) {
    const QStringList usages = CliCommandUsages();
    ASSERT_GE(usages.size(), 7) << "ls, show, find, export, import, encrypt-file, decrypt-file at least";
    // A command with several forms (import) lists each of them, in the order of the overall help.
    QStringList commands;
    QMap<QString, QStringList> forms;
    for (const QString& usage : usages) {
        const QString command = usage.section(' ', 0, 0);
        if (!forms.contains(command)) commands << command;
        forms[command] << usage;
    }
    for (const QString& command : commands) {
        SCOPED_TRACE(command.toStdString());
        ProcessRun help = RunProgram(BuiltProgram("tessarel-cli"), {command, "some-file", "--help"}, kNoDisplay);
        EXPECT_EQ(help.exitStatus, 0);
        EXPECT_EQ(QString::fromUtf8(help.out), "usage: tessarel-cli " + forms[command].join("\n  tessarel-cli ") + "\n");
        ProcessRun version = RunProgram(BuiltProgram("tessarel-cli"), {command, "--version"}, kNoDisplay);
        EXPECT_EQ(version.exitStatus, 0);
        EXPECT_EQ(QString::fromUtf8(version.out), "tessarel-cli " TESSAREL_EXPECTED_VERSION "\n");
    }
}

TEST(ProgramInformationTest, AfterTheEndOfOptionsHelpIsAnArgument) {
    // A card may be called "--help"; after "--" the command looks for it.
    ProcessRun run = RunProgram(BuiltProgram("tessarel-cli"), {"show", TESSAREL_SOURCE_DIR "/samples/sample.qdf", "--", "--help"});
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_TRUE(run.out.isEmpty());
    EXPECT_EQ(run.err, "No card is named \"--help\".\n");
}

TEST(ProgramInformationTest, WrongArgumentsAreStillUsageErrors) {
    struct Case {
        QString program;
        QStringList arguments;
        QByteArray errStart;  // the usage line (Qt may warn before it)
    };
    const Case cases[] = {
        {"tessarel-cli", {}, "usage:\n"},
        {"tessarel-cli", {"--helpme"}, "tessarel-cli: unknown command '--helpme'\n"},
        {"tessarel-cli", {"export", "x.qdf", "--format"}, "usage: tessarel-cli export"},
        {"tessarel-browserd", {"--help", "--version"}, "usage: tessarel-browserd [--help | --version]\n"},
        {"tessarel-browserd", {"address"}, "usage: tessarel-browserd [--help | --version]\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE((c.program + " " + c.arguments.join(' ')).toStdString());
        ProcessRun run = RunProgram(BuiltProgram(c.program), c.arguments, {{"QT_QPA_PLATFORM", "offscreen"}});
        EXPECT_EQ(run.exitStatus, 2);
        EXPECT_TRUE(run.out.isEmpty());
        EXPECT_TRUE(run.err.contains(c.errStart)) << run.err.toStdString();
    }
}

}  // namespace
}  // namespace tessarel::test
