// The manual pages against the programs: every command, option and flag the programs' own help
// names has its entry, so a command added without its manual fails here; and the pages format
// without warnings.
#include <QRegularExpression>
#include <QStandardPaths>
#include <gtest/gtest.h>

#include "PackagingProcess.h"

namespace tessarel::test {
namespace {

QString ManPage(const QString& name) { return QString::fromUtf8(FileText(TESSAREL_SOURCE_DIR "/docs/man/" + name)); }

// Dashes are written \- in a page.
QString InRoff(QString text) { return text.replace('-', QStringLiteral("\\-")); }

TEST(ManualPageTest, EveryCliCommandAndOptionHasItsEntry) {
    const QString page = ManPage("tessarel-cli.1");
    ASSERT_FALSE(page.isEmpty());
    const QString help = QString::fromUtf8(RunProgram(BuiltProgram("tessarel-cli"), {"--help"}).out);
    int commands = 0;
    for (const QString& line : help.split('\n')) {
        if (!line.startsWith("  tessarel-cli ") || line.startsWith("  tessarel-cli [")) continue;
        const QString usage = line.mid(15);
        const QString command = InRoff(usage.section(' ', 0, 0));
        SCOPED_TRACE(usage.toStdString());
        ++commands;
        EXPECT_TRUE(page.contains(".B tessarel\\-cli " + command + "\n")) << "a line in SYNOPSIS";
        EXPECT_TRUE(page.contains(QRegularExpression("\\.TP\\n\\.BI? " + QRegularExpression::escape(command) + "[ \\n]")))
            << "an entry in COMMANDS";
        QRegularExpressionMatchIterator options = QRegularExpression("--[a-z][a-z0-9-]*").globalMatch(usage);
        while (options.hasNext()) {
            const QString option = options.next().captured();
            EXPECT_TRUE(page.contains(InRoff(option))) << option.toStdString();
        }
    }
    EXPECT_GE(commands, 7);
}

TEST(ManualPageTest, EveryFlagOfTheProgramHasItsEntry) {
    const QString page = ManPage("tessarel.1");
    const QString help = QString::fromUtf8(RunProgram(BuiltProgram("tessarel"), {"--help"}).out);
    QRegularExpressionMatchIterator flags = QRegularExpression("^  (-[-A-Za-z]+)", QRegularExpression::MultilineOption).globalMatch(help);
    int count = 0;
    while (flags.hasNext()) {
        const QString flag = flags.next().captured(1);
        ++count;
        EXPECT_TRUE(page.contains(".B" + QString(flag.startsWith("--") ? " " : "I ") + InRoff(flag)) ||
                    page.contains(".BR " + InRoff(flag)))
            << flag.toStdString();
    }
    EXPECT_GE(count, 7);
}

TEST(ManualPageTest, PagesFormatWithoutWarnings) {
    const QString groff = QStandardPaths::findExecutable("groff");
    if (groff.isEmpty()) GTEST_SKIP() << "groff is not installed";
    for (const char* name : {"tessarel.1", "tessarel-cli.1", "tessarel-browserd.1"}) {
        ProcessRun run = RunProgram(groff, {"-man", "-ww", "-z", "-Kutf8", TESSAREL_SOURCE_DIR "/docs/man/" + QString(name)});
        EXPECT_EQ(run.exitStatus, 0) << name;
        EXPECT_TRUE(run.err.isEmpty()) << name << ": " << run.err.toStdString();
    }
}

}  // namespace
}  // namespace tessarel::test
