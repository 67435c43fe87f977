// Start-up with each flag, the file types written and removed, "Check Open Files", the recent
// files across restarts.
#include <QAction>
#include <QCoreApplication>
#include <QDateTime>
#include <QMenu>
#include <QDir>
#include <QKeyEvent>
#include <QFile>
#include <QFileInfo>

#include "AppFixture.h"
#include "app/CSplashWindow.h"
#include "app/FileTypeRegistration.h"
#include "framework/CommandIds.h"
#include "mainframe/CChildFrmFileView.h"
#include "framework/DocTemplate.h"
#include "framework/Settings.h"
#include "resources/ResourceIds.h"

namespace tessarel::test {
namespace {

using StartupTest = AppFixture;

TEST_F(StartupTest, TemplatesComeInTheirOrderWithTheirStrings) {
    ASSERT_TRUE(Start());
    const auto& templates = app->GetDocManager().GetTemplates();
    // The sealed card file's template comes after the three older ones.
    ASSERT_EQ(templates.size(), 4u);
    EXPECT_EQ(templates[0].get(), app->EncryptedCardTemplate());
    EXPECT_EQ(templates[1].get(), app->FileViewTemplate());
    EXPECT_EQ(templates[2].get(), app->PlainCardTemplate());
    EXPECT_EQ(templates[3].get(), app->SealedCardTemplate());
    EXPECT_EQ(app->GetDocManager().OpenFilters(),
              QStringList({"Encrypted Quendal. File (*.qde)", "Encrypted File (*.~~~)", "Not Encrypted Quendal. File (*.qdf)",
                           "Strong Encrypted Quendal. File (*.qdx)", "All Files (*)"}));
    EXPECT_EQ(frame->windowTitle(), "Tessarel");
    EXPECT_TRUE(frame->isVisible());
}

TEST_F(StartupTest, SplashUnlessEmbeddingOrAutomation) {
    for (QString flag : {"/Embedding", "-automation"}) {
        ASSERT_TRUE(Start({flag}));
        EXPECT_EQ(CSplashWindow::Current(), nullptr) << flag.toStdString();
        app.reset();
    }
    ASSERT_TRUE(Start({}));
    CSplashWindow* splash = CSplashWindow::Current();
    ASSERT_NE(splash, nullptr);
    EXPECT_EQ(splash->size(), QSize(346, 153));
    // The first key press closes it and is swallowed.
    QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a");
    QCoreApplication::sendEvent(frame, &press);
    EXPECT_EQ(CSplashWindow::Current(), nullptr);
}

TEST_F(StartupTest, AFileNameAloneIsNotOpened) {
    MakeCardFile(Path("cards.qdf"), 1);
    ASSERT_TRUE(Start({"/Embedding", Path("cards.qdf")}));
    EXPECT_TRUE(app->GetDocManager().GetDocuments().empty());
    EXPECT_TRUE(frame->GetChildren().empty());
}

TEST_F(StartupTest, PrintFlagOpensAndEnds) {
    MakeCardFile(Path("cards.qdf"), 1);
    EXPECT_FALSE(Start({"/p", Path("cards.qdf")}));
    EXPECT_TRUE(Messages().empty());
    EXPECT_FALSE(Start({"/P", Path("cards.qdf")}) == false) << "\"p\" compares with exact case";
}

TEST_F(StartupTest, RegistersTheThreeTypesAndUnregisterRemovesExactlyThat) {
    QString foreign = dataHome + "/applications/other.desktop";
    QDir().mkpath(QFileInfo(foreign).absolutePath());
    QFile(foreign).open(QIODevice::WriteOnly);
    ASSERT_TRUE(Start());
    FileTypeRegistration registration(dataHome);
    QFile package(registration.MimePackage());
    ASSERT_TRUE(package.open(QIODevice::ReadOnly));
    QString xml = QString::fromUtf8(package.readAll());
    for (QString expected : {"application/x-quendalencr-document", "application/x-encrypted", "application/x-quendal-document",
                             "<glob pattern=\"*.qdf\"/>", "<glob pattern=\"*.qde\"/>", "<glob pattern=\"*.~~~\"/>",
                             "<comment>QuendalEncrypted Document</comment>", "<comment>Quendal Document</comment>"})
        EXPECT_TRUE(xml.contains(expected)) << expected.toStdString();
    QFile desktop(registration.DesktopFile());
    ASSERT_TRUE(desktop.open(QIODevice::ReadOnly));
    EXPECT_TRUE(desktop.readAll().contains("Exec=\"/opt/tessarel/bin/tessarel\" /dde %f"));
    for (QString typeId : {"QuendalEncr.Document", "Encrypted", "Quendal.Document"})
        EXPECT_TRUE(QFile::exists(registration.IconFile(typeId)));
    WriteInt(setting::CheckOpenFiles, 1);
    app.reset();

    EXPECT_FALSE(Start({"/Unregister"}));
    EXPECT_FALSE(QFile::exists(registration.MimePackage()));
    EXPECT_FALSE(QFile::exists(registration.DesktopFile()));
    EXPECT_FALSE(QDir(dataHome + "/icons").exists()) << "folders left empty go too";
    EXPECT_TRUE(QFile::exists(foreign)) << "only what registration wrote is removed";
    EXPECT_FALSE(QFile::exists(SettingsFilePath()));
    EXPECT_TRUE(Messages().empty());
}

TEST_F(StartupTest, AnExtensionOwnedByAnotherTypeIsLeftAlone) {
    QDir().mkpath(dataHome + "/mime");
    QFile globs(dataHome + "/mime/globs2");
    ASSERT_TRUE(globs.open(QIODevice::WriteOnly));
    globs.write("50:application/x-someone-else:*.qdf\n");
    globs.close();
    FileTypeRegistration registration(dataHome);
    std::vector<FileTypeEntry> entries{{"Quendal.Document", "Quendal Document", ".qdf", 129}};
    ASSERT_TRUE(registration.Register(entries, "/bin/true"));
    QFile package(registration.MimePackage());
    ASSERT_TRUE(package.open(QIODevice::ReadOnly));
    QByteArray xml = package.readAll();
    EXPECT_TRUE(xml.contains("application/x-quendal-document"));
    EXPECT_FALSE(xml.contains("*.qdf"));
}

TEST_F(StartupTest, AnUnchangedRegistrationRewritesNothing) {
    FileTypeRegistration registration(dataHome);
    std::vector<FileTypeEntry> entries{{"Quendal.Document", "Quendal Document", ".qdf", 129}};
    ASSERT_TRUE(registration.Register(entries, "/bin/one"));
    QStringList files = registration.WrittenFiles(entries);
    if (QFile::exists(dataHome + "/mime/mime.cache")) files << dataHome + "/mime/mime.cache";
    if (QFile::exists(dataHome + "/applications/mimeinfo.cache")) files << dataHome + "/applications/mimeinfo.cache";
    const QDateTime old(QDate(2001, 2, 3), QTime(4, 5, 6));
    auto stamp = [](const QString& path) { return QFileInfo(path).lastModified(); };
    for (const QString& file : files) {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite)) << file.toStdString();
        ASSERT_TRUE(f.setFileTime(old, QFileDevice::FileModificationTime));
    }
    ASSERT_TRUE(registration.Register(entries, "/bin/one"));
    for (const QString& file : files) EXPECT_EQ(stamp(file), old) << file.toStdString();

    // Another program path is written into the desktop entry; the types stay as they were.
    ASSERT_TRUE(registration.Register(entries, "/bin/two"));
    EXPECT_NE(stamp(registration.DesktopFile()), old);
    EXPECT_EQ(stamp(registration.MimePackage()), old);
    QFile desktop(registration.DesktopFile());
    ASSERT_TRUE(desktop.open(QIODevice::ReadOnly));
    EXPECT_TRUE(desktop.readAll().contains("Exec=\"/bin/two\" /dde %f"));
}

TEST_F(StartupTest, CheckOpenFilesOpensTheMostRecentFile) {
    WriteInt(setting::CheckOpenFiles, 1);
    ASSERT_TRUE(Start());
    EXPECT_TRUE(app->GetDocManager().GetDocuments().empty()) << "an empty list opens nothing";
    EXPECT_TRUE(Messages().empty());
    MakeCardFile(Path("recent.qdf"), 1);
    ASSERT_NE(app->GetDocManager().OpenDocumentFile(Path("recent.qdf")), nullptr);
    frame->close();  // exit writes the list back
    app.reset();

    ASSERT_TRUE(Start());
    ASSERT_NE(ActiveDocument(), nullptr);
    EXPECT_EQ(ActiveDocument()->GetPathName(), QFileInfo(Path("recent.qdf")).absoluteFilePath());
    EXPECT_EQ(ReadText(setting::RecentFile1), QFileInfo(Path("recent.qdf")).absoluteFilePath());
}

TEST_F(StartupTest, RecentFilesOpenFromTheFileMenu) {
    ASSERT_TRUE(Start());
    MakeCardFile(Path("first.qdf"), 1);
    MakeCardFile(Path("second.qdf"), 2);
    for (QString name : {"first.qdf", "second.qdf"}) {
        ASSERT_NE(app->GetDocManager().OpenDocumentFile(Path(name)), nullptr);
        app->GetDocManager().CloseAllDocuments();
        Settle();
    }
    ASSERT_EQ(frame->CurrentMenu(), res::MenuMain);
    auto recentItem = [this](int index) -> QAction* {
        for (QAction* action : frame->MenusOf(res::MenuMain).front()->actions())
            if (action->data().toInt() == cmd::FileMruFirst + index) return action;
        return nullptr;
    };
    frame->UpdateCommandStates();
    QAction* item = recentItem(1);
    ASSERT_NE(item, nullptr);
    EXPECT_TRUE(item->isVisible() && item->isEnabled());
    EXPECT_TRUE(item->text().startsWith("&2 ") && item->text().endsWith("first.qdf")) << item->text().toStdString();
    item->trigger();
    Settle();
    ASSERT_NE(ActiveDocument(), nullptr);
    EXPECT_EQ(ActiveDocument()->GetPathName(), QFileInfo(Path("first.qdf")).absoluteFilePath());
    EXPECT_EQ(app->GetDocManager().RecentFiles().At(0), QFileInfo(Path("first.qdf")).absoluteFilePath()) << "moves to the top";

    // An entry whose file has gone leaves the list.
    app->GetDocManager().CloseAllDocuments();
    Settle();
    QFile::remove(Path("second.qdf"));
    frame->UpdateCommandStates();
    recentItem(1)->trigger();
    Settle();
    EXPECT_TRUE(app->GetDocManager().GetDocuments().empty());
    EXPECT_EQ(app->GetDocManager().RecentFiles().Entries(), QStringList({QFileInfo(Path("first.qdf")).absoluteFilePath()}));
    EXPECT_EQ(Messages().back(), "Failed to open document.");
}

TEST_F(StartupTest, AnEncryptedSingleFileFromTheFileMenuEntersTheFileView) {
    ASSERT_TRUE(Start());
    QFile single(Path("photo.jpg.~~~"));
    ASSERT_TRUE(single.open(QIODevice::WriteOnly));
    single.write(QByteArray(64, 'x'));
    single.close();
    dialogs->AnswerFile(Path("photo.jpg.~~~"));
    dialogs->AnswerMessage(MessageAnswer::No);  // no file password yet: not now
    app->ExecuteCommand(cmd::FileOpen);
    Settle();
    auto* view = dynamic_cast<CChildFrmFileView*>(frame->GetActiveChild());
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->windowTitle(), "File Encryption");
    EXPECT_EQ(frame->CurrentMenu(), res::MenuFileView);
    // A card window is made first, as when no window was open; the file itself is left alone.
    EXPECT_EQ(frame->GetChildren().size(), 2u);
    QFile check(Path("photo.jpg.~~~"));
    ASSERT_TRUE(check.open(QIODevice::ReadOnly));
    EXPECT_EQ(check.readAll(), QByteArray(64, 'x'));
}

}  // namespace
}  // namespace tessarel::test
