// The bash completion of tessarel-cli, run by bash against the built program: commands, options,
// the choices of an option, and file names.
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "PackagingProcess.h"

namespace tessarel::test {
namespace {

// The completions bash offers for `words`, the last one being completed.
QStringList Complete(const QStringList& words) {
    QString script = QStringLiteral("source '" TESSAREL_SOURCE_DIR "/packaging/bash-completion/tessarel-cli'\nCOMP_WORDS=(");
    for (const QString& word : words) script += " '" + word + "'";
    script += QStringLiteral(")\nCOMP_CWORD=%1\n_tessarel_cli\nprintf '%s\\n' \"${COMPREPLY[@]}\"\n").arg(words.size() - 1);
    ProcessRun run = RunProgram("bash", {"-c", script});
    EXPECT_EQ(run.exitStatus, 0) << run.err.toStdString();
    QStringList offered = QString::fromUtf8(run.out).split('\n', Qt::SkipEmptyParts);
    offered.sort();
    return offered;
}

TEST(CompletionTest, CommandsOptionsAndChoicesComeFromTheProgram) {
    const QString cli = BuiltProgram("tessarel-cli");
    const QStringList all = Complete({cli, ""});
    for (const char* command : {"convert", "decrypt-file", "encrypt-file", "export", "find", "generate", "import", "ls", "show", "--help", "--version"})
        EXPECT_TRUE(all.contains(command)) << command;

    struct Case {
        QStringList words;
        QStringList expected;
    };
    const Case cases[] = {
        {{cli, "ex"}, {"export"}},
        {{cli, "export", "a.qdf", "--f"}, {"--format"}},
        {{cli, "export", "a.qdf", "--format", ""}, {"csv", "json", "keepassxc-csv"}},
        {{cli, "import", "--from", "b"}, {"bitwarden-json"}},
        {{cli, "import", "--from", "x.csv", "--a"}, {"--allow-duplicates"}},
        {{cli, "export", "a.qdf", "--format", "j"}, {"json"}},
        {{cli, "show", "a.qdf", "--"}, {"--help", "--reveal", "--version"}},
        {{cli, "find", "a.qdf", "x", "--i"}, {"--ignore-case"}},
        {{cli, "generate", "--"}, {"--classes", "--help", "--length", "--no-lookalikes", "--separator", "--version", "--words"}},
        {{cli, "generate", "--no"}, {"--no-lookalikes"}},
        {{cli, "au"}, {"audit"}},
        {{cli, "audit", "a.qdf", "--format", ""}, {"json", "text"}},
    };
    for (const Case& c : cases) EXPECT_EQ(Complete(c.words), c.expected) << c.words.join(' ').toStdString();
}

TEST(CompletionTest, ArgumentsCompleteAsFileNames) {
    QTemporaryDir folder;
    for (const char* name : {"cards.qdf", "cards.qde", "--odd.qdf"}) QFile(folder.filePath(name)).open(QIODevice::WriteOnly);
    const QString cli = BuiltProgram("tessarel-cli");
    const QString base = folder.path() + "/";
    EXPECT_EQ(Complete({cli, "ls", base + "ca"}), QStringList({base + "cards.qde", base + "cards.qdf"}));
    // After "--" a word that starts with a dash is a file, not an option.
    const QString before = QDir::currentPath();
    QDir::setCurrent(folder.path());
    EXPECT_EQ(Complete({cli, "show", "--", "--o"}), QStringList({"--odd.qdf"}));
    QDir::setCurrent(before);
}

}  // namespace
}  // namespace tessarel::test
