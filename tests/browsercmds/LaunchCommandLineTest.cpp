// The stored program paths run as command lines: how a line is split into the program and its
// arguments, and the launch commands starting real programs with them.
#include <QDir>
#include <QFile>

#include "BrowserCommandsFixture.h"
#include "browser/ProgramCommandLine.h"
#include "framework/Settings.h"
#include "resources/ResourceIds.h"

namespace tessarel::test {
namespace {

using browser::ProgramCommandLine;

TEST(ProgramCommandLineSplit, QuotingAsTheShellsDo) {
    struct Case {
        QString line;
        std::optional<QStringList> words;
    };
    const Case cases[] = {
        {"/usr/bin/mutt", QStringList{"/usr/bin/mutt"}},
        {"  /usr/bin/mutt   -f  mbox ", QStringList{"/usr/bin/mutt", "-f", "mbox"}},
        {"\"/opt/My Mail/mail\" --compose \"to me\"", QStringList{"/opt/My Mail/mail", "--compose", "to me"}},
        {"'/opt/My Mail/mail' 'a \"b\" c'", QStringList{"/opt/My Mail/mail", "a \"b\" c"}},
        {"/opt/My\\ Mail/mail a\\ b", QStringList{"/opt/My Mail/mail", "a b"}},
        // Nothing is expanded: no variables, no "~", no wildcards, no operators.
        {"prog $HOME ~/x *.txt a;b|c", QStringList{"prog", "$HOME", "~/x", "*.txt", "a;b|c"}},
        // In double quotes a backslash escapes only $ ` " \ and a line break.
        {R"(prog "a\"b" "c\\d" "e\f" "\$x")", QStringList{"prog", "a\"b", "c\\d", "e\\f", "$x"}},
        // In single quotes nothing is special, a backslash neither.
        {R"(prog 'a\b')", QStringList{"prog", "a\\b"}},
        {"prog \"\" ''", QStringList{"prog", "", ""}},
        {"prog a\"b c\"d", QStringList{"prog", "ab cd"}},
        {"prog a\\\nb", QStringList{"prog", "ab"}},
        {"", QStringList{}},
        {"prog \"open", std::nullopt},
        {"prog 'open", std::nullopt},
        {"prog trailing\\", std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(ProgramCommandLine::Split(c.line), c.words) << c.line.toStdString();
}

class LaunchCommandLineTest : public BrowserCommandsFixture {
protected:
    void SetUp() override {
        BrowserCommandsFixture::SetUp();
        ASSERT_TRUE(QDir().mkpath(Path("My Programs")));
        program = Path("My Programs/args.sh");
        QFile script(program);
        ASSERT_TRUE(script.open(QIODevice::WriteOnly));
        // Writes its arguments, each between brackets, one line per start.
        script.write(("#!/bin/sh\nfor a in \"$@\"; do printf '[%s]' \"$a\" >> '" + argumentsRecord() + "'; done\necho >> '" +
                      argumentsRecord() + "'\n")
                         .toUtf8());
        script.close();
        QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    QString argumentsRecord() const { return Path("arguments.txt"); }
    // The argument lines written so far, waiting until there are `expected`.
    QStringList Starts(int expected) {
        QStringList lines;
        auto read = [&] {
            QFile file(argumentsRecord());
            lines.clear();
            if (file.open(QIODevice::ReadOnly))
                for (const QByteArray& line : file.readAll().split('\n'))
                    lines << QString::fromUtf8(line);
            if (!lines.isEmpty() && lines.back().isEmpty()) lines.removeLast();
            return lines.size() >= expected;
        };
        browser::testing::PumpUntil(read, 5000);
        return lines;
    }
    QString program;
};

TEST_F(LaunchCommandLineTest, StoredPathsRunAsCommandLines) {
    struct Case {
        int command;
        CMainFrame::HelperPath path;
        QString stored;
        QString arguments;  // as the program received them
    };
    const Case cases[] = {
        // A path with a blank that names the program as it stands needs no quotes.
        {res::LaunchEmail, CMainFrame::MailPath, program, ""},
        {res::LaunchNews, CMainFrame::NewsPath, "\"" + program + "\" --group \"comp.lang c++\"", "[--group][comp.lang c++]"},
        {res::LaunchFtp, CMainFrame::FtpPath, "'" + program + "' '$HOME' \"a\\\"b\"", "[$HOME][a\"b]"},
        {res::LaunchLogin, CMainFrame::TelnetPath, QString(program).replace(" ", "\\ ") + " host\\ one 23", "[host one][23]"},
        {res::LaunchWww, CMainFrame::ExplorerPath, "\"" + program + "\" --new-window https://example.org/", "[--new-window][https://example.org/]"},
    };
    WriteInt(setting::ChooseWebBrowser, 1);
    QStringList expected;
    for (const Case& c : cases) {
        frame->SetHelperPath(c.path, c.stored);
        EXPECT_TRUE(Run(c.command));
        expected << c.arguments;
        EXPECT_EQ(Starts(static_cast<int>(expected.size())), expected) << c.stored.toStdString();
    }
    EXPECT_TRUE(Messages().empty());

    // The help reader's path is read from the settings at each use, and runs the same way.
    WriteText(setting::HelpProgFilePath, "\"" + program + "\" guide.pdf");
    EXPECT_TRUE(Run(res::HelpReader));
    expected << "[guide.pdf]";
    EXPECT_EQ(Starts(static_cast<int>(expected.size())), expected);
}

TEST_F(LaunchCommandLineTest, ABrowserLineThatCannotRunSaysSo) {
    WriteInt(setting::ChooseWebBrowser, 1);
    // Unquoted blanks followed by arguments: the first word names no program.
    for (const QString& stored : {program + " --new-window", "\"" + program + " --new-window", QString("   ")}) {
        frame->SetHelperPath(CMainFrame::ExplorerPath, stored);
        const std::size_t before = Messages().size();
        EXPECT_TRUE(Run(res::LaunchWww));
        ASSERT_EQ(Messages().size(), before + 1) << stored.toStdString();
        EXPECT_EQ(Messages().back(), "Could not start Microsoft Explorer,application not found,please install.");
    }
    EXPECT_FALSE(QFile::exists(argumentsRecord()));
}

}  // namespace
}  // namespace tessarel::test
