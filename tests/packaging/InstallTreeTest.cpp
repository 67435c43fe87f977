// cmake --install into a private prefix: what lands where, with which rights, what the desktop's
// validators say of it, and how the installed program treats the per-user registration.
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

#include "PackagingProcess.h"

namespace tessarel::test {
namespace {

const char* const kMimeTypes[] = {"application/x-quendalencr-document", "application/x-encrypted", "application/x-quendal-document",
                                   "application/x-quendalsealed-document"};

class InstallTreeTest : public ::testing::Test {
protected:
    // One installation serves every test of the suite.
    static void SetUpTestSuite() {
        root = std::make_unique<QTemporaryDir>();
        prefix = root->filePath("prefix");
        install = RunProgram(TESSAREL_CMAKE, {"--install", TESSAREL_BUILD_DIR, "--prefix", prefix});
    }
    static void TearDownTestSuite() { root.reset(); }
    void SetUp() override { ASSERT_EQ(install.exitStatus, 0) << install.out.toStdString() << install.err.toStdString(); }

    static QString Installed(const QString& relative) { return prefix + "/" + relative; }
    static QString Tool(const char* name) { return QStandardPaths::findExecutable(name); }

    static std::unique_ptr<QTemporaryDir> root;
    static QString prefix;
    static ProcessRun install;
};

std::unique_ptr<QTemporaryDir> InstallTreeTest::root;
QString InstallTreeTest::prefix;
ProcessRun InstallTreeTest::install;

TEST_F(InstallTreeTest, EverythingLandsInItsPlaceReadableByEveryone) {
    QStringList expected{"bin/tessarel", "bin/tessarel-cli", "bin/tessarel-browserd",
                         "share/applications/tessarel.desktop", "share/mime/packages/tessarel.xml",
                         "share/icons/hicolor/scalable/apps/tessarel.svg", "share/metainfo/example.corvale.tessarel.metainfo.xml",
                         "share/man/man1/tessarel.1.gz", "share/man/man1/tessarel-cli.1.gz", "share/man/man1/tessarel-browserd.1.gz",
                         "share/bash-completion/completions/tessarel-cli", "share/doc/tessarel/copyright",
                         "share/doc/tessarel/changelog.gz"};
    for (const char* mime : kMimeTypes)
        expected << "share/icons/hicolor/scalable/mimetypes/" + QString(mime).replace('/', '-') + ".svg";
    const QString manifest = QString::fromUtf8(FileText(TESSAREL_BUILD_DIR "/install_manifest.txt"));
    for (const QString& file : expected) {
        SCOPED_TRACE(file.toStdString());
        const QFileInfo info(Installed(file));
        ASSERT_TRUE(info.isFile());
        EXPECT_TRUE(info.permissions().testFlag(QFile::ReadOther));
        EXPECT_EQ(info.permissions().testFlag(QFile::ExeOther), file.startsWith("bin/"));
        EXPECT_TRUE(manifest.contains(Installed(file))) << "listed in the install manifest";
    }
}

TEST_F(InstallTreeTest, TheDesktopEntryStartsTheInstalledProgramForEveryType) {
    const QString desktop = QString::fromUtf8(FileText(Installed("share/applications/tessarel.desktop")));
    EXPECT_TRUE(desktop.contains("\nExec=\"" + Installed("bin/tessarel") + "\" /dde %f\n")) << desktop.toStdString();
    const QString package = QString::fromUtf8(FileText(Installed("share/mime/packages/tessarel.xml")));
    for (const char* mime : kMimeTypes) {
        EXPECT_TRUE(desktop.contains(QRegularExpression(QString("\\nMimeType=.*%1;").arg(QRegularExpression::escape(mime))))) << mime;
        EXPECT_TRUE(package.contains(QString("<mime-type type=\"%1\">").arg(mime))) << mime;
    }
    // Every extension is claimed, whatever types the build machine knows.
    for (const char* glob : {"*.qde", "*.~~~", "*.qdf"}) EXPECT_TRUE(package.contains(QString("<glob pattern=\"%1\"/>").arg(glob)));
}

TEST_F(InstallTreeTest, AStagedInstallNamesTheFinalPath) {
    // How the Debian package is made: staged under DESTDIR, for the prefix /usr.
    const QString stage = root->filePath("stage");
    ProcessRun staged = RunProgram(TESSAREL_CMAKE, {"--install", TESSAREL_BUILD_DIR, "--prefix", "/usr"}, {{"DESTDIR", stage}});
    ASSERT_EQ(staged.exitStatus, 0) << staged.err.toStdString();
    EXPECT_TRUE(FileText(stage + "/usr/share/applications/tessarel.desktop").contains("\nExec=\"/usr/bin/tessarel\" /dde %f\n"));
    EXPECT_TRUE(QFileInfo(stage + "/usr/bin/tessarel").isExecutable());
}

TEST_F(InstallTreeTest, TheValidatorsAcceptTheDesktopEntryAndTheMetadata) {
    const QString desktopValidate = Tool("desktop-file-validate");
    const QString appstream = Tool("appstreamcli");
    if (desktopValidate.isEmpty() || appstream.isEmpty()) GTEST_SKIP() << "desktop-file-utils or appstream is not installed";
    ProcessRun desktop = RunProgram(desktopValidate, {Installed("share/applications/tessarel.desktop")});
    EXPECT_EQ(desktop.exitStatus, 0);
    EXPECT_TRUE(desktop.out.isEmpty() && desktop.err.isEmpty()) << desktop.out.toStdString() << desktop.err.toStdString();
    ProcessRun metadata = RunProgram(appstream, {"validate", "--no-net", "--pedantic", Installed("share/metainfo/example.corvale.tessarel.metainfo.xml")});
    EXPECT_EQ(metadata.exitStatus, 0) << metadata.out.toStdString() << metadata.err.toStdString();
}

TEST_F(InstallTreeTest, TheInstalledProgramLeavesRegistrationToTheSystem) {
    const QString mimeTool = Tool("update-mime-database");
    ASSERT_FALSE(mimeTool.isEmpty()) << "shared-mime-info is needed";
    ASSERT_EQ(RunProgram(mimeTool, {Installed("share/mime")}).exitStatus, 0);
    const QString home = root->filePath("home");
    const QString userEntry = home + "/data/applications/tessarel.desktop";
    QMap<QString, QString> environment{{"QT_QPA_PLATFORM", "offscreen"}, {"TESSAREL_EXIT_WHEN_IDLE", "1"},
                                       {"XDG_DATA_HOME", home + "/data"}, {"XDG_CONFIG_HOME", home + "/config"},
                                       {"XDG_RUNTIME_DIR", home + "/run"}};
    QDir().mkpath(home + "/run");
    QFile::setPermissions(home + "/run", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    // The system's folders do not hold the installation: the program registers for the user.
    environment.insert("XDG_DATA_DIRS", root->filePath("empty-share"));
    ProcessRun unlisted = RunProgram(Installed("bin/tessarel"), {"/Embedding"}, environment);
    ASSERT_EQ(unlisted.exitStatus, 0) << unlisted.err.toStdString();
    EXPECT_TRUE(FileText(userEntry).contains("Exec=\"" + Installed("bin/tessarel").toUtf8() + "\" /dde %f"));

    // They do: the installed entry serves, and the copies of the former start would hide it.
    environment.insert("XDG_DATA_DIRS", root->filePath("empty-share") + ":" + Installed("share"));
    ProcessRun listed = RunProgram(Installed("bin/tessarel"), {"/Embedding"}, environment);
    ASSERT_EQ(listed.exitStatus, 0) << listed.err.toStdString();
    EXPECT_FALSE(QFile::exists(userEntry));
    EXPECT_FALSE(QFile::exists(home + "/data/mime/packages/tessarel.xml"));
    EXPECT_FALSE(QDir(home + "/data/icons").exists());
}

}  // namespace
}  // namespace tessarel::test
