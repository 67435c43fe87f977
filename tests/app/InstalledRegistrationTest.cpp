// The registration of an installed program: when the system's data folders hold a desktop entry
// that starts this program and a MIME database that knows every type, start-up writes no
// per-user copies and removes those of earlier starts; in every other case it registers for the
// user as before. Also the Exec key for program paths that need quoting, and --help/--version
// beside the program's own flags.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>

#include "AppFixture.h"
#include "app/CommandLineInfo.h"
#include "app/FileTypeRegistration.h"

namespace tessarel::test {
namespace {

class InstalledRegistrationTest : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        hadDataDirs = qEnvironmentVariableIsSet("XDG_DATA_DIRS");
        savedDataDirs = qgetenv("XDG_DATA_DIRS");
        CTessarelApp types;
        allTypes = types.FileTypes();
    }
    void TearDown() override {
        if (hadDataDirs)
            qputenv("XDG_DATA_DIRS", savedDataDirs);
        else
            qunsetenv("XDG_DATA_DIRS");
        AppFixture::TearDown();
    }

    // A program file under `prefix`/bin, as an installation has it.
    static QString MakeProgram(const QString& prefix, const QString& name = "tessarel") {
        QDir().mkpath(prefix + "/bin");
        QFile program(prefix + "/bin/" + name);
        program.open(QIODevice::WriteOnly);
        return program.fileName();
    }

    // The files an installation into `prefix` brings, naming `program`; with its MIME database
    // when `makeDatabase`, as the system's triggers make it.
    static void Install(const QString& prefix, const std::vector<FileTypeEntry>& types, const QString& program, bool makeDatabase) {
        ASSERT_TRUE(FileTypeRegistration(prefix + "/share").WriteInstallFiles(types, program));
        if (!makeDatabase) return;
        const QString tool = QStandardPaths::findExecutable("update-mime-database");
        ASSERT_FALSE(tool.isEmpty()) << "shared-mime-info is needed";
        ASSERT_EQ(QProcess::execute(tool, {prefix + "/share/mime"}), 0);
    }

    std::vector<FileTypeEntry> allTypes;
    bool hadDataDirs = false;
    QByteArray savedDataDirs;
};

TEST_F(InstalledRegistrationTest, TheInstalledRegistrationReplacesThePerUserCopies) {
    ASSERT_EQ(allTypes.size(), 4u);
    const QString prefix = Path("usr");
    programPath = MakeProgram(prefix);
    Install(prefix, allTypes, programPath, true);
    // Copies from a start of a program built elsewhere.
    FileTypeRegistration user(dataHome);
    ASSERT_TRUE(user.Register(allTypes, "/home/me/src/tessarel/build/bin/tessarel"));
    ASSERT_TRUE(QFile::exists(user.DesktopFile()));

    qputenv("XDG_DATA_DIRS", (Path("elsewhere") + ":" + prefix + "/share").toUtf8());
    EXPECT_EQ(FileTypeRegistration::InstalledDataDir(allTypes, programPath), prefix + "/share");
    ASSERT_TRUE(Start());
    for (const QString& file : user.WrittenFiles(allTypes)) EXPECT_FALSE(QFile::exists(file)) << file.toStdString();
    EXPECT_FALSE(QDir(dataHome + "/mime").exists());
    EXPECT_TRUE(Messages().empty());
}

TEST_F(InstalledRegistrationTest, AnyGapInTheInstallationKeepsThePerUserRegistration) {
    struct Case {
        const char* what;
        bool otherProgram;      // the installed entry starts another program
        bool missingType;       // the installation lacks one of the program's types
        bool makeDatabase;      // the MIME database was brought up to date
        bool listed;            // XDG_DATA_DIRS names the installation
    };
    const Case cases[] = {
        {"another program", true, false, true, true},
        {"a type missing", false, true, true, true},
        {"no MIME database", false, false, false, true},
        {"not on XDG_DATA_DIRS", false, false, true, false},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QString prefix = Path(QString("prefix%1").arg(++n));
        programPath = MakeProgram(prefix);
        std::vector<FileTypeEntry> types = allTypes;
        if (c.missingType) types.pop_back();
        Install(prefix, types, c.otherProgram ? MakeProgram(prefix, "other") : programPath, c.makeDatabase);
        qputenv("XDG_DATA_DIRS", (c.listed ? prefix + "/share" : Path("nothing-here")).toUtf8());
        dataHome = Path(QString("data%1").arg(n));
        ASSERT_TRUE(Start());
        FileTypeRegistration user(dataHome);
        EXPECT_TRUE(QFile(user.DesktopFile()).open(QIODevice::ReadOnly));
        EXPECT_TRUE(QFile::exists(user.MimePackage()));
        app.reset();
    }
}

TEST_F(InstalledRegistrationTest, PerUserRegistrationMakesTheDesktopCacheAndUnregisterTakesItAway) {
    if (QStandardPaths::findExecutable("update-desktop-database").isEmpty()) GTEST_SKIP() << "desktop-file-utils is not installed";
    ASSERT_TRUE(Start());
    // File managers built on GIO look the program up for a type in this cache only.
    QFile cache(dataHome + "/applications/mimeinfo.cache");
    ASSERT_TRUE(cache.open(QIODevice::ReadOnly));
    const QByteArray text = cache.readAll();
    cache.close();
    for (const FileTypeEntry& type : allTypes)
        EXPECT_TRUE(text.contains(FileTypeRegistration::MimeTypeOf(type.typeId).toUtf8() + "=tessarel.desktop;")) << text.toStdString();
    app.reset();
    EXPECT_FALSE(Start({"/Unregister"}));
    EXPECT_FALSE(QDir(dataHome + "/applications").exists()) << "the cache was all that was left";
}

TEST_F(InstalledRegistrationTest, TheExecKeyQuotesAnyProgramPath) {
    // Blanks, quotes, the characters the quoting reserves, a backslash and a percent sign.
    const QString program = MakeProgram(Path("my \"tools\" $HOME `x` back\\slash 100%"));
    FileTypeRegistration installed(Path("share"));
    ASSERT_TRUE(installed.WriteInstallFiles(allTypes, program));
    QFile desktop(installed.DesktopFile());
    ASSERT_TRUE(desktop.open(QIODevice::ReadOnly));
    const QByteArray text = desktop.readAll();
    EXPECT_TRUE(text.contains("Exec=\"" + Path("my \\\\\"tools\\\\\" \\\\$HOME \\\\`x\\\\` back\\\\\\\\slash 100%%").toUtf8() +
                              "/bin/tessarel\" /dde %f\n"))
        << text.toStdString();
    // Read back, the entry names the same program.
    const QString tool = QStandardPaths::findExecutable("update-mime-database");
    ASSERT_FALSE(tool.isEmpty());
    ASSERT_EQ(QProcess::execute(tool, {Path("share/mime")}), 0);
    qputenv("XDG_DATA_DIRS", Path("share").toUtf8());
    EXPECT_EQ(FileTypeRegistration::InstalledDataDir(allTypes, program), Path("share"));
    const QString validate = QStandardPaths::findExecutable("desktop-file-validate");
    if (!validate.isEmpty()) {
        QProcess run;
        run.start(validate, {installed.DesktopFile()});
        ASSERT_TRUE(run.waitForFinished());
        EXPECT_EQ(run.exitCode(), 0) << run.readAllStandardOutput().toStdString();
    }
}

TEST(CommandLineHelpTest, HelpAndVersionSitBesideTheProgramsFlags) {
    struct Case {
        QStringList arguments;
        CommandLineInfo::Shell shell;
        QString fileName;
        bool help;
        bool version;
    };
    using Shell = CommandLineInfo::Shell;
    const Case cases[] = {
        {{"--help"}, Shell::Nothing, "", true, false},
        {{"--version"}, Shell::Nothing, "", false, true},
        {{"/dde", "/tmp/a.qdf", "--version"}, Shell::Dde, "/tmp/a.qdf", false, true},
        {{"--help", "/p", "/tmp/a.qdf"}, Shell::Print, "/tmp/a.qdf", true, false},
        {{"-help"}, Shell::Nothing, "", false, false},     // one dash: a flag of the program's own kind
        {{"--HELP"}, Shell::Nothing, "", false, false},    // spelled exactly
        {{"/help", "/tmp/a.qdf"}, Shell::FileOpen, "/help", false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        const CommandLineInfo info = CommandLineInfo::Parse(c.arguments);
        EXPECT_EQ(info.shell, c.shell);
        EXPECT_EQ(info.fileName, c.fileName);
        EXPECT_EQ(info.showHelp, c.help);
        EXPECT_EQ(info.showVersion, c.version);
    }
}

}  // namespace
}  // namespace tessarel::test
