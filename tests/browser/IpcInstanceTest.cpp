// The local IPC over real sockets: conversations, requests, pokes, time-outs, names compared
// without regard to case, and refusal of peers that break the protocol or run as another user.
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <gtest/gtest.h>
#include <memory>

#include "BrowserTestSupport.h"
#include "browser/IpcEndpointDirectory.h"
#include "browser/IpcInstance.h"
#include "browser/PeerCredentials.h"

namespace tessarel::browser {
namespace {

using testing::ConnectFrame;
using testing::PumpUntil;
using testing::RecordingHandler;

class IpcInstanceTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(server.IsValid());
        ASSERT_TRUE(client.IsValid());
        ASSERT_TRUE(server.RegisterName(QStringLiteral("Netscape")));
    }

    RecordingHandler handler;
    IpcInstance server{&handler};
    IpcInstance client{nullptr};
};

TEST_F(IpcInstanceTest, RequestRoundTripOnAConversation) {
    handler.replies["\"http://a.example/\",,4294967295,0,,,Quendal1"] = std::string("\x07\x00\x00\x00", 4);
    const ConversationHandle conversation = client.Connect(QStringLiteral("Netscape"), QStringLiteral("WWW_OpenURL"));
    ASSERT_NE(conversation, 0u);
    const auto reply = client.Request(conversation, "\"http://a.example/\",,4294967295,0,,,Quendal1");
    ASSERT_TRUE(reply.has_value());
    EXPECT_EQ(*reply, QByteArray("\x07\x00\x00\x00", 4));
    EXPECT_EQ(client.LastError(), IpcError::None);
    EXPECT_EQ(handler.events[0], "accept? Netscape WWW_OpenURL");
    EXPECT_EQ(handler.events[1], "connected Netscape WWW_OpenURL");
    EXPECT_EQ(handler.events[2], "request WWW_OpenURL \"http://a.example/\",,4294967295,0,,,Quendal1");

    // An item the server has nothing for: no data, and no error either.
    EXPECT_FALSE(client.Request(conversation, "other").has_value());
    EXPECT_EQ(client.LastError(), IpcError::None);

    EXPECT_TRUE(client.Disconnect(conversation));
    EXPECT_TRUE(PumpUntil([&] { return handler.Count("disconnected") == 1; }));
    EXPECT_FALSE(client.Request(conversation, "x").has_value());
    EXPECT_EQ(client.LastError(), IpcError::InvalidParameter);
}

TEST_F(IpcInstanceTest, ServiceNamesCompareWithoutRegardToCase) {
    for (const char* name : {"netscape", "NETSCAPE", "NetScape"}) {
        const ConversationHandle conversation = client.Connect(QString::fromLatin1(name), QStringLiteral("WWW_Activate"));
        EXPECT_NE(conversation, 0u) << name;
        client.Disconnect(conversation);
    }
    EXPECT_TRUE(server.RegisterName(QStringLiteral("NETSCAPE")));  // the same endpoint, already ours
    IpcInstance other(nullptr);
    EXPECT_FALSE(other.RegisterName(QStringLiteral("NETSCAPE")));
    EXPECT_EQ(other.LastError(), IpcError::Busy);
}

TEST_F(IpcInstanceTest, PokesAreAcknowledgedOrNot) {
    const ConversationHandle conversation = client.Connect(QStringLiteral("Netscape"), QStringLiteral("WWW_EndProgress"));
    ASSERT_NE(conversation, 0u);
    EXPECT_TRUE(client.Poke(conversation, "12", "data"));
    EXPECT_EQ(client.LastError(), IpcError::None);
    handler.acknowledgePokes = false;
    EXPECT_FALSE(client.Poke(conversation, "13", ""));
    EXPECT_EQ(client.LastError(), IpcError::NotProcessed);
    EXPECT_EQ(handler.Count("poke WWW_EndProgress 12 data"), 1);
}

TEST_F(IpcInstanceTest, CommandsAreCarriedOutOrNot) {
    const ConversationHandle conversation = client.Connect(QStringLiteral("Netscape"), QStringLiteral("system"));
    ASSERT_NE(conversation, 0u);
    EXPECT_TRUE(client.Execute(conversation, "[open(\"/home/u/cards.qde\")]"));
    EXPECT_EQ(handler.Count("execute system [open(\"/home/u/cards.qde\")]"), 1);
    handler.acknowledgePokes = false;
    EXPECT_FALSE(client.Execute(conversation, "[print(\"x\")]"));
    EXPECT_EQ(client.LastError(), IpcError::NotProcessed);
    // A server without a command handler acknowledges nothing.
    struct NoCommands : RecordingHandler {
        bool Execute(ConversationHandle conversation, const QString& topic, const QByteArray& command) override {
            return IpcHandler::Execute(conversation, topic, command);
        }
    } noCommands;
    IpcInstance other(&noCommands);
    ASSERT_TRUE(other.RegisterName(QStringLiteral("Plain")));
    const ConversationHandle second = client.Connect(QStringLiteral("Plain"), QStringLiteral("system"));
    ASSERT_NE(second, 0u);
    EXPECT_FALSE(client.Execute(second, "[open(\"x\")]"));
}

TEST_F(IpcInstanceTest, ConnectFailsQuietlyWithoutAServerOrWhenRefused) {
    EXPECT_EQ(client.Connect(QStringLiteral("Iexplore"), QStringLiteral("WWW_OpenURL")), 0u);
    EXPECT_EQ(client.LastError(), IpcError::NoConvEstablished);
    handler.acceptTopics = {"WWW_OpenURL"};
    EXPECT_EQ(client.Connect(QStringLiteral("Netscape"), QStringLiteral("WWW_Exit")), 0u);
    EXPECT_EQ(client.LastError(), IpcError::NoConvEstablished);
    EXPECT_EQ(handler.Count("connected"), 0);
    // The refused conversation is gone on both sides.
    EXPECT_TRUE(PumpUntil([&] { return server.ConversationCount() == 0; }));
    EXPECT_EQ(client.ConversationCount(), 0u);
}

TEST_F(IpcInstanceTest, UnregisteredNameTakesNoNewConversations) {
    const ConversationHandle open = client.Connect(QStringLiteral("Netscape"), QStringLiteral("WWW_Version"));
    ASSERT_NE(open, 0u);
    EXPECT_TRUE(server.UnregisterName(QStringLiteral("NETSCAPE")));
    EXPECT_EQ(client.Connect(QStringLiteral("Netscape"), QStringLiteral("WWW_Version")), 0u);
    EXPECT_FALSE(server.UnregisterName(QStringLiteral("Netscape")));
    EXPECT_EQ(server.LastError(), IpcError::InvalidParameter);
    // The conversation that was open goes on.
    handler.replies["v"] = "1";
    EXPECT_EQ(client.Request(open, "v").value_or("none"), QByteArray("1"));
}

// A server that takes conversations and then does what the test tells it to with each request.
class RawServer {
public:
    explicit RawServer(const QString& path) {
        QLocalServer::removeServer(path);
        server.listen(path);
        QObject::connect(&server, &QLocalServer::newConnection, [this] {
            while (QLocalSocket* socket = server.nextPendingConnection()) {
                sockets.push_back(socket);
                QObject::connect(socket, &QLocalSocket::readyRead, [this, socket] { Read(socket); });
            }
        });
    }
    std::function<void(QLocalSocket*)> onRequest;  // nothing: the request is never answered

private:
    void Read(QLocalSocket* socket) {
        reader.Append(socket->readAll());
        IpcFrame frame;
        while (reader.Next(frame) == IpcFrameReader::Status::Frame) {
            if (frame.kind == FrameKind::Connect) {
                IpcFrame reply;
                reply.kind = FrameKind::ConnectReply;
                reply.transaction = frame.transaction;
                reply.flag = true;
                socket->write(reply.Encode());
            } else if (onRequest) {
                onRequest(socket);
            }
        }
    }
    QLocalServer server;
    std::vector<QLocalSocket*> sockets;
    IpcFrameReader reader;
};

class RawServerTest : public ::testing::Test {
protected:
    QString Path(const char* service) { return IpcEndpointDirectory::EndpointPath(client.Directory(), QString::fromLatin1(service)); }
    IpcInstance client{nullptr};
};

TEST_F(RawServerTest, ABrowserThatNeverAnswersTimesOut) {
    RawServer silent(Path("Hung"));
    client.SetTimeout(200);
    const ConversationHandle conversation = client.Connect(QStringLiteral("Hung"), QStringLiteral("WWW_OpenURL"));
    ASSERT_NE(conversation, 0u);
    EXPECT_FALSE(client.Request(conversation, "\"x\"").has_value());
    EXPECT_EQ(client.LastError(), IpcError::DataAckTimeout);
    EXPECT_FALSE(client.Poke(conversation, "1", ""));
    EXPECT_EQ(client.LastError(), IpcError::PokeAckTimeout);
    EXPECT_FALSE(client.Execute(conversation, "[open(\"x\")]"));
    EXPECT_EQ(client.LastError(), IpcError::ExecAckTimeout);
}

TEST_F(RawServerTest, AServerThatDiesOrSendsGarbageEndsOnlyTheRequest) {
    RawServer dying(Path("Dying"));
    dying.onRequest = [](QLocalSocket* socket) { socket->abort(); };
    ConversationHandle conversation = client.Connect(QStringLiteral("Dying"), QStringLiteral("WWW_OpenURL"));
    ASSERT_NE(conversation, 0u);
    EXPECT_FALSE(client.Request(conversation, "\"x\"").has_value());
    EXPECT_EQ(client.LastError(), IpcError::ServerDied);
    EXPECT_EQ(client.ConversationCount(), 0u);

    RawServer garbage(Path("Garbage"));
    garbage.onRequest = [](QLocalSocket* socket) { socket->write("TQ\xff\xff\xff\x7f", 6); };
    conversation = client.Connect(QStringLiteral("Garbage"), QStringLiteral("WWW_OpenURL"));
    ASSERT_NE(conversation, 0u);
    EXPECT_FALSE(client.Request(conversation, "\"x\"").has_value());
    EXPECT_EQ(client.LastError(), IpcError::ServerDied);
    EXPECT_EQ(client.ConversationCount(), 0u);
}

// Hand-made frames sent to a registered name: each bad one loses its own connection, while a
// conversation that keeps to the protocol goes on.
TEST_F(IpcInstanceTest, MalformedOrOversizedFramesCloseOnlyThatConnection) {
    const ConversationHandle good = client.Connect(QStringLiteral("Netscape"), QStringLiteral("WWW_Version"));
    ASSERT_NE(good, 0u);
    handler.replies["v"] = "1";

    IpcFrame request;
    request.kind = FrameKind::Request;
    request.first = "v";
    QByteArray trailing = ConnectFrame("Netscape", "WWW_Version");
    trailing[2] = static_cast<char>(trailing[2] + 1);  // one byte more than the body holds
    trailing.append('x');
    const std::pair<const char*, QByteArray> cases[] = {
        {"bad magic", QByteArray("XX\x05\x00\x00\x00\x01\x00\x00\x00\x00", 11)},
        {"oversized length", QByteArray("TQ\x01\x00\x10\x00", 6)},
        {"too short a body", QByteArray("TQ\x01\x00\x00\x00\x01", 7)},
        {"unknown kind", QByteArray("TQ\x05\x00\x00\x00\x09\x00\x00\x00\x00", 11)},
        {"request before connect", request.Encode()},
        {"name length past the body", QByteArray("TQ\x09\x00\x00\x00\x01\x01\x00\x00\x00\x01\xff\x00x", 15)},
        {"trailing bytes in the body", trailing},
        {"connect twice", ConnectFrame("Netscape", "WWW_Version") + ConnectFrame("Netscape", "WWW_Version", 2)},
        {"wrong service for the endpoint", ConnectFrame("Iexplore", "WWW_Version")},
    };
    const QString path = IpcEndpointDirectory::EndpointPath(server.Directory(), QStringLiteral("Netscape"));
    for (const auto& [name, bytes] : cases) {
        QLocalSocket raw;
        raw.connectToServer(path);
        ASSERT_TRUE(raw.waitForConnected(2000)) << name;
        raw.write(bytes);
        raw.flush();
        EXPECT_TRUE(PumpUntil([&] { return raw.state() == QLocalSocket::UnconnectedState; })) << name;
        EXPECT_EQ(client.Request(good, "v").value_or("lost"), QByteArray("1")) << name;
    }
    EXPECT_TRUE(PumpUntil([&] { return server.ConversationCount() == 1; }));
}

TEST_F(IpcInstanceTest, ConnectionsBeyondTheLimitAreClosedOnArrival) {
    const QString path = IpcEndpointDirectory::EndpointPath(server.Directory(), QStringLiteral("Netscape"));
    std::vector<std::unique_ptr<QLocalSocket>> sockets;
    for (std::size_t i = 0; i < IpcInstance::MaxConversations + 6; ++i) {
        sockets.push_back(std::make_unique<QLocalSocket>());
        sockets.back()->connectToServer(path);
        ASSERT_TRUE(sockets.back()->waitForConnected(2000));
        QCoreApplication::processEvents();  // the server takes them as they come, as it would
    }
    const auto closed = [&] {
        return std::count_if(sockets.begin(), sockets.end(),
                             [](const auto& socket) { return socket->state() == QLocalSocket::UnconnectedState; });
    };
    EXPECT_TRUE(PumpUntil([&] { return closed() == 6; }));
    EXPECT_EQ(server.ConversationCount(), IpcInstance::MaxConversations);
    sockets.clear();
    EXPECT_TRUE(PumpUntil([&] { return server.ConversationCount() == 0; }));
    EXPECT_NE(client.Connect(QStringLiteral("Netscape"), QStringLiteral("WWW_OpenURL")), 0u);
}

// A peer that connects and then says nothing, or only part of its Connect, is dropped once the
// connect deadline has passed; conversations that completed their Connect stay.
TEST_F(IpcInstanceTest, AConnectionThatDoesNotCompleteItsConnectInTimeIsDropped) {
    EXPECT_EQ(IpcInstance::DefaultConnectDeadlineMs, 5000);
    server.SetConnectDeadline(300);
    const ConversationHandle good = client.Connect(QStringLiteral("Netscape"), QStringLiteral("WWW_Version"));
    ASSERT_NE(good, 0u);
    handler.replies["v"] = "1";

    const QString path = IpcEndpointDirectory::EndpointPath(server.Directory(), QStringLiteral("Netscape"));
    QLocalSocket silent, partial;
    for (QLocalSocket* socket : {&silent, &partial}) {
        socket->connectToServer(path);
        ASSERT_TRUE(socket->waitForConnected(2000));
    }
    partial.write(ConnectFrame("Netscape", "WWW_Version").left(5));
    partial.flush();
    EXPECT_TRUE(PumpUntil([&] { return server.ConversationCount() == 3; }));
    QDeadlineTimer beforeDeadline(150);
    EXPECT_TRUE(PumpUntil([&] { return beforeDeadline.hasExpired(); }, 200));
    EXPECT_EQ(silent.state(), QLocalSocket::ConnectedState) << "dropped before its deadline";

    EXPECT_TRUE(PumpUntil([&] { return silent.state() == QLocalSocket::UnconnectedState; }, 3000));
    EXPECT_TRUE(PumpUntil([&] { return partial.state() == QLocalSocket::UnconnectedState; }, 3000));
    EXPECT_EQ(server.ConversationCount(), 1u);
    EXPECT_EQ(client.Request(good, "v").value_or("lost"), QByteArray("1")) << "an established conversation stays";
    EXPECT_EQ(handler.Count("disconnected"), 0) << "the handler never heard of the dropped ones";
}

TEST_F(IpcInstanceTest, APeerOfAnotherUserIsRefusedOnBothEnds) {
    const std::uint32_t stranger = OwnUserId() + 1;
    server.SetPeerLookup([stranger](qintptr) { return std::optional<std::uint32_t>(stranger); });
    EXPECT_EQ(client.Connect(QStringLiteral("Netscape"), QStringLiteral("WWW_OpenURL")), 0u);
    EXPECT_EQ(client.LastError(), IpcError::NoConvEstablished);
    EXPECT_EQ(handler.Count("accept?"), 0);

    server.SetPeerLookup(PeerUserId);
    client.SetPeerLookup([](qintptr) { return std::optional<std::uint32_t>(); });  // cannot tell: refused
    EXPECT_EQ(client.Connect(QStringLiteral("Netscape"), QStringLiteral("WWW_OpenURL")), 0u);
    client.SetPeerLookup(PeerUserId);
    EXPECT_NE(client.Connect(QStringLiteral("Netscape"), QStringLiteral("WWW_OpenURL")), 0u);
}

TEST(PeerCredentialsTest, OnlyTheSameKnownUserIsAllowed) {
    EXPECT_TRUE(PeerAllowed(1000u, 1000u));
    EXPECT_FALSE(PeerAllowed(1001u, 1000u));
    EXPECT_FALSE(PeerAllowed(0u, 1000u));
    EXPECT_FALSE(PeerAllowed(std::nullopt, 1000u));
    EXPECT_FALSE(PeerAllowed(std::nullopt, 0u));
}

TEST(PeerCredentialsTest, ReadsTheUserOfARealPeer) {
    QLocalServer listener;
    const QString path = QString::fromLocal8Bit(qgetenv("XDG_RUNTIME_DIR")) + QStringLiteral("/peer-test.sock");
    ASSERT_TRUE(listener.listen(path));
    QLocalSocket socket;
    socket.connectToServer(path);
    ASSERT_TRUE(socket.waitForConnected(2000));
    EXPECT_EQ(PeerUserId(socket.socketDescriptor()), std::optional<std::uint32_t>(OwnUserId()));
    EXPECT_EQ(PeerUserId(-1), std::nullopt);
}

}  // namespace
}  // namespace tessarel::browser
