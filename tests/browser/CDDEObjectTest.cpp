// The conversation layer against a browser: verbs with their item texts and replies, server names
// counting up through the run, what the program answers under its own name, and the "Error" boxes.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <ctime>
#include <gtest/gtest.h>

#include "BrowserTestSupport.h"
#include "browser/CDDEObject.h"
#include "browser/DdeArguments.h"
#include "browser/DdeInstance.h"
#include "browser/DdeServerCallback.h"
#include "browser/DdeVerbs.h"
#include "browser/peer/ScriptedBrowser.h"
#include "support/ScriptedUserInterface.h"

namespace tessarel::browser {
namespace {

using testing::PeerProcess;
using testing::PumpUntil;

unsigned long SequenceOf(const std::string& serverName) { return std::stoul(serverName.substr(7)); }

// The number the next CDDEObject's server name will carry.
unsigned long NextSequence() {
    CDDEObject probe("Netscape");
    return SequenceOf(probe.ServerName()) + 1;
}

std::string Binary32(std::uint32_t value) { return DdeArguments::EncodeReply("DW", {value}); }

class CDDEObjectTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dde.IsValid()); }

    // Serves "Netscape" and "Iexplore" in this process, as a browser would.
    ScriptedBrowser& StartBrowser(ScriptedBrowser::Script script = {}) {
        browser = std::make_unique<ScriptedBrowser>(std::move(script));
        EXPECT_TRUE(browser->Serve({QStringLiteral("Netscape"), QStringLiteral("Iexplore")}));
        return *browser;
    }

    tessarel::testing::ScriptedUserInterface ui;
    DdeInstance dde{ui};
    std::unique_ptr<ScriptedBrowser> browser;
};

TEST_F(CDDEObjectTest, ServerNamesCountUpThroughTheRunAndAreRegistered) {
    const unsigned long next = NextSequence();
    auto first = std::make_unique<CDDEObject>("Netscape");
    CDDEObject second("Iexplore");
    EXPECT_EQ(first->ServerName(), "Quendal" + std::to_string(next));
    EXPECT_EQ(second.ServerName(), "Quendal" + std::to_string(next + 1));
    first.reset();
    EXPECT_EQ(CDDEObject("Netscape").ServerName(), "Quendal" + std::to_string(next + 2));

    IpcInstance caller(nullptr);
    const QString name = QString::fromStdString(second.ServerName()).toUpper();
    const ConversationHandle conversation = caller.Connect(name, QStringLiteral("WWW_Alert"));
    EXPECT_NE(conversation, 0u);
    caller.Disconnect(conversation);
    // A name whose object is gone takes no conversations.
    EXPECT_EQ(caller.Connect(QStringLiteral("Quendal%1").arg(next), QStringLiteral("WWW_Alert")), 0u);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(CDDEObjectTest, ABrowserThatIsNotRunningGivesEmptyResultsWithoutMessages) {
    CDDEObject object("Iexplore");
    EXPECT_FALSE(object.CanConnect(WWW_OpenURL));
    EXPECT_EQ(object.Connect(WWW_Activate), nullptr);
    EXPECT_EQ(object.Activate(CDDEObject::LastActiveWindow, 0), 0u);
    EXPECT_EQ(object.OpenURL("http://a.example/", "", 0, 0, "", "", object.ServerName()), 0u);
    const auto info = object.GetWindowInfo(CDDEObject::LastActiveWindow);
    EXPECT_EQ(info.address, "");
    EXPECT_EQ(info.title, "");
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(object.ConversationCount(), 0u);
}

TEST_F(CDDEObjectTest, VerbsCarryTheirItemTextsAndDecodeTheReplies) {
    ScriptedBrowser::Script script;
    script.title = QStringLiteral("Example, \"Home\"");
    script.windowId = 77;
    ScriptedBrowser& fake = StartBrowser(script);
    CDDEObject object("Netscape");
    const std::string server = object.ServerName();

    EXPECT_TRUE(object.CanConnect(WWW_OpenURL));
    EXPECT_EQ(object.Activate(CDDEObject::LastActiveWindow, 0), 77u);
    EXPECT_EQ(object.OpenURL("http://a.example/say\"hi\"", "", CDDEObject::LastActiveWindow, 0, "", "", server), 77u);
    EXPECT_EQ(object.OpenURL("http://b.example/", "", 0, 0, "", "", ""), 77u);
    const auto info = object.GetWindowInfo(CDDEObject::LastActiveWindow);
    EXPECT_EQ(info.address, "http://b.example/");
    EXPECT_EQ(info.title, "Example, \"Home\"");

    const std::vector<std::string> requests = [&] {
        std::vector<std::string> found;
        for (const auto& event : fake.events)
            if (event.rfind("REQUEST", 0) == 0) found.push_back(event);
        return found;
    }();
    const std::vector<std::string> expected = {
        "REQUEST WWW_Activate 4294967295,0",
        "REQUEST WWW_OpenURL \"http://a.example/say\\\"hi\\\"\",,4294967295,0,,," + server,
        "REQUEST WWW_OpenURL \"http://b.example/\",,0,0,,,",
        "REQUEST WWW_GetWindowInfo 4294967295",
    };
    EXPECT_EQ(requests, expected);
    // One conversation per request, each ended again.
    EXPECT_TRUE(PumpUntil([&] { return std::count(fake.events.begin(), fake.events.end(), "DISCONNECT") == 5; }));
    EXPECT_EQ(object.ConversationCount(), 0u);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(CDDEObjectTest, ServiceNamesReachTheBrowserWhateverTheirCase) {
    StartBrowser();
    for (const char* service : {"IExplore", "iexplore", "NETSCAPE"}) {
        CDDEObject object(service);
        EXPECT_TRUE(object.CanConnect(WWW_OpenURL)) << service;
    }
    CDDEObject other("Mosaic");
    EXPECT_FALSE(other.CanConnect(WWW_OpenURL));
}

// Each object talks to the service it was made for, also while another object is alive.
TEST_F(CDDEObjectTest, LiveObjectsKeepTheirOwnServiceNames) {
    browser = std::make_unique<ScriptedBrowser>(ScriptedBrowser::Script{});
    ASSERT_TRUE(browser->Serve({QStringLiteral("Netscape")}));
    CDDEObject first("Iexplore");
    CDDEObject second("Netscape");
    EXPECT_FALSE(first.CanConnect(WWW_OpenURL));
    EXPECT_TRUE(second.CanConnect(WWW_OpenURL));
}

TEST_F(CDDEObjectTest, AVerbOutsideTheTableOpensNoConversation) {
    StartBrowser();
    CDDEObject object("Netscape");
    EXPECT_EQ(object.Connect(-1), nullptr);
    EXPECT_EQ(object.Connect(DdeVerbCount), nullptr);
    EXPECT_FALSE(object.CanConnect(-1));
}

TEST_F(CDDEObjectTest, ABrowserThatNeverAnswersShowsDataAckTimeout) {
    PeerProcess peer;
    ASSERT_TRUE(peer.Start({"--service", "Netscape", "--stall-ms", "2000"}));
    dde.Ipc().SetTimeout(300);
    CDDEObject object("Netscape");
    EXPECT_EQ(object.OpenURL("http://a.example/", "", 0, 0, "", "", object.ServerName()), 0u);
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].text, "DATAACKTIMEOUT");
    EXPECT_EQ(ui.shown[0].caption, "Error");
    EXPECT_EQ(ui.shown[0].buttons, MessageButtons::Ok);
    EXPECT_EQ(ui.shown[0].owner, MessageOwner::None);
    EXPECT_EQ(object.ConversationCount(), 0u);
}

TEST_F(CDDEObjectTest, AFailedRegistrationShowsItsErrorName) {
    IpcInstance squatter(nullptr);
    const unsigned long next = NextSequence();
    ASSERT_TRUE(squatter.RegisterName(QStringLiteral("Quendal%1").arg(next)));
    CDDEObject object("Netscape");
    EXPECT_EQ(object.ServerName(), "Quendal" + std::to_string(next));
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].text, "BUSY");
    EXPECT_EQ(ui.shown[0].caption, "Error");
}

TEST(DdeInstanceTest, OneInstancePerProgramAndObjectsWithoutOneStayQuiet) {
    tessarel::testing::ScriptedUserInterface ui;
    {
        auto first = std::make_unique<DdeInstance>(ui);
        ASSERT_TRUE(first->IsValid());
        DdeInstance second(ui);
        EXPECT_FALSE(second.IsValid());
        EXPECT_EQ(DdeInstance::Current(), first.get());
        first.reset();
        EXPECT_EQ(DdeInstance::Current(), nullptr);
    }
    CDDEObject object("Netscape");
    EXPECT_FALSE(object.CanConnect(WWW_OpenURL));
    EXPECT_EQ(object.OpenURL("http://a/", "", 0, 0, "", "", object.ServerName()), 0u);
    EXPECT_TRUE(ui.messages.empty());
}

// What a browser hears when it calls the program back under the object's server name.
class ServerAnswerTest : public CDDEObjectTest {
protected:
    std::optional<std::string> Ask(const char* topic, const std::string& item) {
        const ConversationHandle conversation =
            caller.Connect(QString::fromStdString(object.ServerName()).toLower(), QString::fromLatin1(topic));
        if (conversation == 0) return "refused";
        const auto reply = caller.Request(conversation, QByteArray::fromStdString(item));
        caller.Disconnect(conversation);
        if (!reply) return std::nullopt;
        return reply->toStdString();
    }
    bool Poke(const char* topic, const std::string& item) {
        const ConversationHandle conversation =
            caller.Connect(QString::fromStdString(object.ServerName()), QString::fromLatin1(topic));
        const bool acknowledged = conversation != 0 && caller.Poke(conversation, QByteArray::fromStdString(item), {});
        caller.Disconnect(conversation);
        return acknowledged;
    }

    CDDEObject object{"Netscape"};
    IpcInstance caller{nullptr};
};

TEST_F(ServerAnswerTest, RequestsAnsweredAsABrowserExpects) {
    const auto before = static_cast<std::uint32_t>(std::time(nullptr));
    EXPECT_EQ(Ask("WWW_Alert", "\"Page not found\",1,0"), Binary32(0));
    const auto begin = Ask("WWW_BeginProgress", "1,\"Loading\"");
    const auto open = Ask("WWW_OpenURL", "\"http://x/\",,1,0,,,");
    const auto after = static_cast<std::uint32_t>(std::time(nullptr));
    for (const auto& reply : {begin, open}) {
        ASSERT_TRUE(reply.has_value());
        ASSERT_EQ(reply->size(), 4u);
        const auto seconds = std::get<std::uint32_t>(DdeArguments::DecodeReply("DW", *reply)[0]);
        EXPECT_GE(seconds, before);
        EXPECT_LE(seconds, after);
    }
    EXPECT_EQ(Ask("WWW_MakingProgress", "1,\"Loading\",50"), std::string("\0\0", 2));  // do not cancel
    EXPECT_EQ(Ask("www_makingprogress", "1,\"Loading\",50"), std::string("\0\0", 2));
    // Verbs the program does not serve, and topics outside the table, get no data.
    EXPECT_EQ(Ask("WWW_Activate", "1,0"), std::nullopt);
    EXPECT_EQ(Ask("WWW_Unknown", ""), std::nullopt);
    EXPECT_EQ(caller.LastError(), IpcError::None);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(ServerAnswerTest, QueryViewerNamesAFreshFileInTheTemporaryFolder) {
    const auto reply = Ask("WWW_QueryViewer", "\"http://x/a.pdf\",\"application/pdf\"");
    ASSERT_TRUE(reply.has_value());
    const auto name = std::get<std::string>(DdeArguments::DecodeReply("QCS", *reply)[0]);
    ASSERT_EQ(reply->front(), '"');
    const QFileInfo file(QString::fromStdString(name));
    EXPECT_EQ(file.absolutePath(), QFileInfo(QDir::tempPath()).absoluteFilePath());
    EXPECT_TRUE(file.fileName().startsWith(QStringLiteral("nstest")));
    EXPECT_TRUE(file.exists());
    EXPECT_EQ(file.permissions() & (QFile::ReadOther | QFile::WriteOther | QFile::ReadGroup | QFile::WriteGroup), 0);
    const auto second = Ask("WWW_QueryViewer", "\"http://x/b.pdf\",\"application/pdf\"");
    EXPECT_NE(second, reply);
    QFile::remove(file.filePath());
    QFile::remove(QString::fromStdString(std::get<std::string>(DdeArguments::DecodeReply("QCS", second.value_or(""))[0])));
}

// A viewer file is removed once the browser has used it (its "WWW_ViewDocFile" names it), and any
// still unused when the program's server ends; a file the program did not hand out is never touched.
TEST(ViewerFilesTest, AreRemovedOnceUsedAndWhenTheServerEnds) {
    const auto ask = [](DdeServerCallback& callback) {
        const auto reply = callback.Request(1, QStringLiteral("WWW_QueryViewer"), "\"http://x/a.pdf\",\"application/pdf\"");
        return QString::fromStdString(std::get<std::string>(DdeArguments::DecodeReply("QCS", reply.value_or(QByteArray()).toStdString())[0]));
    };
    const auto viewDocFile = [](DdeServerCallback& callback, const QString& file) {
        return callback.Poke(1, QStringLiteral("WWW_ViewDocFile"),
                             ("\"" + file + "\",\"http://x/a.pdf\",\"application/pdf\",1").toUtf8(), {});
    };
    QTemporaryDir elsewhere;
    const QString foreign = elsewhere.filePath("keep.pdf");
    QString unused;
    {
        DdeServerCallback callback;
        const QString used = ask(callback);
        ASSERT_TRUE(QFile::exists(used));
        QFile page(used);
        ASSERT_TRUE(page.open(QIODevice::WriteOnly));
        page.write("%PDF-1.4 the account statement");
        page.close();
        EXPECT_TRUE(viewDocFile(callback, used));
        EXPECT_FALSE(QFile::exists(used));

        QFile keep(foreign);
        ASSERT_TRUE(keep.open(QIODevice::WriteOnly));
        keep.close();
        EXPECT_TRUE(viewDocFile(callback, foreign));
        EXPECT_TRUE(QFile::exists(foreign)) << "not a file the program named";

        unused = ask(callback);
        EXPECT_TRUE(QFile::exists(unused));
    }
    EXPECT_FALSE(QFile::exists(unused));
    EXPECT_TRUE(QFile::exists(foreign));
}

TEST_F(ServerAnswerTest, PokesAcknowledgedForTheProgressAndEchoVerbsOnly) {
    EXPECT_TRUE(Poke("WWW_EndProgress", "1"));
    EXPECT_TRUE(Poke("WWW_SetProgressRange", "1,100"));
    EXPECT_TRUE(Poke("WWW_URLEcho", "\"http://x/\",\"text/html\",1,\"\""));
    EXPECT_TRUE(Poke("WWW_ViewDocFile", "\"/tmp/a\",\"http://x/\",\"text/html\",1"));
    EXPECT_TRUE(Poke("WWW_WindowChange", "1,0,0,0,640,480"));
    EXPECT_FALSE(Poke("WWW_Exit", "1"));
    EXPECT_FALSE(Poke("WWW_OpenURL", "\"http://x/\""));
    EXPECT_FALSE(Poke("WWW_Unknown", "1"));
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(ServerAnswerTest, ConversationsOfTheBrowserAreTrackedAndEndWithTheObject) {
    IpcInstance stranger(nullptr);
    EXPECT_EQ(stranger.Connect(QStringLiteral("Quendal0"), QStringLiteral("WWW_Alert")), 0u);

    const ConversationHandle conversation =
        caller.Connect(QString::fromStdString(object.ServerName()), QStringLiteral("WWW_BeginProgress"));
    ASSERT_NE(conversation, 0u);
    EXPECT_TRUE(PumpUntil([&] { return object.ConversationCount() == 1; }));
    caller.Disconnect(conversation);
    EXPECT_TRUE(PumpUntil([&] { return object.ConversationCount() == 0; }));

    auto owner = std::make_unique<CDDEObject>("Netscape");
    const ConversationHandle open =
        caller.Connect(QString::fromStdString(owner->ServerName()), QStringLiteral("WWW_MakingProgress"));
    ASSERT_NE(open, 0u);
    EXPECT_TRUE(PumpUntil([&] { return owner->ConversationCount() == 1; }));
    owner.reset();
    EXPECT_TRUE(PumpUntil([&] { return caller.ConversationCount() == 0; }));
    EXPECT_TRUE(ui.messages.empty());
}

// The browser reports on the page load while the program's request is still waiting or right
// after: the program's server answers from within its own request loop.
TEST_F(CDDEObjectTest, ABrowserReportsProgressBackToTheProgressServer) {
    PeerProcess peer;
    ASSERT_TRUE(peer.Start({"--service", "Netscape", "--report-progress", "--window", "5"}));
    CDDEObject object("Netscape");
    EXPECT_EQ(object.OpenURL("http://a.example/", "", 0, 0, "", "", object.ServerName()), 5u);
    ASSERT_TRUE(peer.WaitForLine("PROGRESS WWW_EndProgress ACK"));
    EXPECT_TRUE(peer.WaitForLine("PROGRESS WWW_MakingProgress FALSE"));
    const auto& lines = peer.Lines();
    const auto begin = std::find_if(lines.begin(), lines.end(), [](const std::string& line) {
        return line.rfind("PROGRESS WWW_BeginProgress ", 0) == 0;
    });
    ASSERT_NE(begin, lines.end());
    EXPECT_GT(std::stoul(begin->substr(27)), 0u);
    EXPECT_TRUE(ui.messages.empty());
}

}  // namespace
}  // namespace tessarel::browser
