// The helper programs started by path, the browser launch with its failure messages, the help
// reader, the start-up launches and the browser detection of the first start.
#include <algorithm>

#include "BrowserCommandsFixture.h"
#include "framework/Settings.h"
#include "resources/ResourceIds.h"

namespace tessarel::test {
namespace {

class LaunchCommandsTest : public BrowserCommandsFixture {};

QStringList Sorted(QStringList names) {
    names.sort();
    return names;
}

TEST_F(LaunchCommandsTest, EachCommandStartsItsProgramByPath) {
    struct Case {
        int command;
        CMainFrame::HelperPath path;
        int browser;
        QString name;
    };
    const Case cases[] = {
        {res::LaunchEmail, CMainFrame::MailPath, 1, "mail"},
        {res::LaunchLogin, CMainFrame::TelnetPath, 1, "telnet"},
        {res::LaunchNews, CMainFrame::NewsPath, 1, "news"},
        {res::LaunchFtp, CMainFrame::FtpPath, 1, "ftp"},
        {res::LaunchWww, CMainFrame::ExplorerPath, 1, "explorer"},
        {res::LaunchBrowserButton, CMainFrame::NetscapePath, 0, "navigator"},
    };
    QStringList expected;
    for (const Case& c : cases) {
        frame->SetHelperPath(c.path, HelperScript(c.name));
        WriteInt(setting::ChooseWebBrowser, c.browser);
        EXPECT_TRUE(Run(c.command));
        expected << c.name;
        EXPECT_EQ(Sorted(Started(static_cast<int>(expected.size()))), Sorted(expected)) << c.name.toStdString();
    }
    EXPECT_TRUE(Messages().empty());
}

TEST_F(LaunchCommandsTest, ProgramsThatCannotStart) {
    struct Case {
        int command;
        int browser;
        QString path;
        std::vector<std::string> messages;
    };
    const Case cases[] = {
        {res::LaunchWww, 1, "/nonexistent/iexplore",
         {"Could not start Microsoft Explorer,application not found,please install."}},
        {res::LaunchWww, 0, "", {"Could not start Netscape Navigator,application not found,please install."}},
        {res::LaunchBrowserButton, 2, "/bin/true", {}},  // a choice that names no browser
        {res::LaunchEmail, 1, "/nonexistent/mail", {}},  // helpers are started unchecked
        {res::LaunchFtp, 1, "", {}},
    };
    for (const Case& c : cases) {
        WriteInt(setting::ChooseWebBrowser, c.browser);
        for (auto path : {CMainFrame::ExplorerPath, CMainFrame::NetscapePath, CMainFrame::MailPath, CMainFrame::FtpPath})
            frame->SetHelperPath(path, c.path);
        const std::size_t before = dialogs->Events().size();
        EXPECT_TRUE(Run(c.command));
        std::vector<std::string> shown;
        for (std::size_t i = before; i < dialogs->Events().size(); ++i) {
            shown.push_back(dialogs->Events()[i].message.text);
            EXPECT_EQ(dialogs->Events()[i].message.caption, "Error");
        }
        EXPECT_EQ(shown, c.messages) << c.command << " " << c.path.toStdString();
    }
}

TEST_F(LaunchCommandsTest, TheHelpReaderNeedsItsPath) {
    EXPECT_TRUE(Run(res::HelpReader));
    EXPECT_EQ(Messages(),
              std::vector<std::string>{"Acrobat Help Reader not installed, or path not set, go to preferences - path settings."});
    // The path is read afresh from the settings, not from the paths read at start-up.
    WriteText(setting::HelpProgFilePath, HelperScript("help"));
    EXPECT_TRUE(Run(res::HelpReader));
    EXPECT_EQ(Started(1), QStringList{"help"});
    EXPECT_EQ(Messages().size(), 1u);
}

TEST_F(LaunchCommandsTest, StartUpLaunchesRunTheChosenPrograms) {
    frame->SetHelperPath(CMainFrame::MailPath, HelperScript("mail"));
    frame->SetHelperPath(CMainFrame::ExplorerPath, HelperScript("explorer"));
    frame->SetHelperPath(CMainFrame::FtpPath, HelperScript("ftp"));
    frame->SetHelperPath(CMainFrame::TelnetPath, HelperScript("telnet"));
    frame->SetHelperPath(CMainFrame::NewsPath, HelperScript("news"));
    for (const Setting* row : {&setting::LaunchEmail, &setting::LaunchWebBrowser, &setting::LaunchTelnet})
        WriteInt(*row, 1);
    frame->RunStartupLaunches();
    EXPECT_EQ(Sorted(Started(3)), Sorted({"mail", "explorer", "telnet"}));
    EXPECT_TRUE(Messages().empty());
}

TEST_F(LaunchCommandsTest, TheFirstStartFindsTheCompanionBrowser) {
    // The fixture's start was the first one for its fresh settings.
    const QString companion = QCoreApplication::applicationDirPath() + "/tessarel-browserd";
    EXPECT_EQ(ReadInt(setting::FirstStartDone), 1);
    EXPECT_EQ(ReadText(setting::ExplorerFilePath), companion);
    EXPECT_EQ(ReadText(setting::NetscapeFilePath), companion);
    EXPECT_EQ(frame->HelperPathOf(CMainFrame::NetscapePath), companion);
    EXPECT_TRUE(Messages().empty());

    // Without it there is no browser to be had.
    CMainFrame::SetBrowserCompanionPath(Path("missing/tessarel-browserd"));
    WriteInt(setting::ChooseWebBrowser, 0);
    frame->SetHelperPath(CMainFrame::HelpPath, "/opt/reader");
    frame->DetectBrowsers();
    CMainFrame::SetBrowserCompanionPath(QString());
    ASSERT_EQ(Messages(), std::vector<std::string>{"No Web Browsers are installed, please do so."});
    EXPECT_EQ(dialogs->Events().back().message.caption, "Error");
    EXPECT_EQ(ReadText(setting::ExplorerFilePath), "");
    EXPECT_EQ(ReadText(setting::NetscapeFilePath), "");
    EXPECT_EQ(ReadInt(setting::ChooseWebBrowser), 1);
    for (auto path : {CMainFrame::ExplorerPath, CMainFrame::NetscapePath, CMainFrame::HelpPath})
        EXPECT_TRUE(frame->HelperPathOf(path).isEmpty()) << path;
}

}  // namespace
}  // namespace tessarel::test
