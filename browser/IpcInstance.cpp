#include "browser/IpcInstance.h"

#include <QEventLoop>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QTimer>
#include <algorithm>
#include <vector>

#include "browser/IpcEndpointDirectory.h"
#include "browser/PeerCredentials.h"
#include "core/SecureBuffer.h"

namespace tessarel::browser {

struct IpcInstance::Connection {
    QLocalSocket* socket = nullptr;
    bool serverSide = false;
    bool established = false;
    QString registeredName;  // server side: the name whose endpoint the client reached
    QString service;         // client side: the partner's service name
    QString topic;
    IpcFrameReader reader;
};

struct IpcInstance::Pending {
    ConversationHandle handle = 0;
    std::uint32_t transaction = 0;
    FrameKind answer = FrameKind::Reply;
    bool done = false;
    bool failed = false;
    bool cancelled = false;
    IpcFrame reply;
};

namespace {

// Lets a socket finish writing what is queued, then frees it; nothing of ours hears from it again.
void Retire(QLocalSocket* socket) {
    socket->disconnect();
    if (socket->state() == QLocalSocket::UnconnectedState) {
        socket->deleteLater();
        return;
    }
    QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    socket->disconnectFromServer();
}

}  // namespace

IpcInstance::IpcInstance(IpcHandler* serverHandler) : handler(serverHandler), peerLookup(PeerUserId) {
    if (auto found = IpcEndpointDirectory::Locate()) directory = *found;
}

IpcInstance::~IpcInstance() {
    for (auto& [handle, connection] : connections) {
        connection->socket->disconnect();
        connection->socket->abort();
        delete connection->socket;
    }
    connections.clear();
    for (auto& [path, server] : servers) server->close();
}

bool IpcInstance::Fail(IpcError error) {
    lastError = error;
    return false;
}

IpcError IpcInstance::LastError() {
    const IpcError error = lastError;
    lastError = IpcError::None;
    return error;
}

IpcInstance::Connection* IpcInstance::Find(ConversationHandle handle) const {
    const auto found = connections.find(handle);
    return found == connections.end() ? nullptr : found->second.get();
}

bool IpcInstance::PeerIsOwnUser(QLocalSocket* socket) const {
    return PeerAllowed(peerLookup(socket->socketDescriptor()), OwnUserId());
}

bool IpcInstance::RegisterName(const QString& service) {
    if (!IsValid()) return Fail(IpcError::DllNotInitialized);
    const QString path = IpcEndpointDirectory::EndpointPath(directory, service);
    if (path.isEmpty()) return Fail(IpcError::InvalidParameter);
    if (servers.count(path) != 0) return true;
    // No socket options: with them Qt binds elsewhere and renames over the path, which would take
    // a name from a live server. The folder is owner-only already; the socket is narrowed below.
    auto server = std::make_unique<QLocalServer>();
    if (!server->listen(path)) {
        if (server->serverError() != QAbstractSocket::AddressInUseError) return Fail(IpcError::SysError);
        // The endpoint exists: either a live server owns the name, or a crashed one left it behind.
        QLocalSocket probe;
        probe.connectToServer(path);
        if (probe.waitForConnected(1000)) return Fail(IpcError::Busy);
        QLocalServer::removeServer(path);
        if (!server->listen(path)) return Fail(IpcError::SysError);
    }
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    QLocalServer* raw = server.get();
    connect(raw, &QLocalServer::newConnection, this, [this, raw, service] { AcceptPending(raw, service); });
    servers.emplace(path, std::move(server));
    return true;
}

bool IpcInstance::UnregisterName(const QString& service) {
    if (!IsValid()) return Fail(IpcError::DllNotInitialized);
    const auto found = servers.find(IpcEndpointDirectory::EndpointPath(directory, service));
    if (found == servers.end()) return Fail(IpcError::InvalidParameter);
    // Open conversations go on; only new ones can no longer reach the name. The server may be in
    // the middle of telling us about a connection, so it is freed once that is over.
    found->second->close();
    found->second.release()->deleteLater();
    servers.erase(found);
    return true;
}

ConversationHandle IpcInstance::Adopt(QLocalSocket* socket, bool serverSide, const QString& registeredName) {
    socket->setParent(this);
    // Qt buffers no more than one frame's worth; the reader takes what the frame in progress needs.
    socket->setReadBufferSize(IpcFrame::HeaderSize + IpcFrame::MaxBodySize);
    const ConversationHandle handle = nextHandle++;
    auto connection = std::make_unique<Connection>();
    connection->socket = socket;
    connection->serverSide = serverSide;
    connection->registeredName = registeredName;
    connections.emplace(handle, std::move(connection));
    connect(socket, &QLocalSocket::readyRead, this, [this, handle] { ReadFrom(handle); });
    connect(socket, &QLocalSocket::disconnected, this, [this, handle] {
        ReadFrom(handle);
        Drop(handle, true);
    });
    return handle;
}

void IpcInstance::AcceptPending(QLocalServer* server, const QString& registeredName) {
    // Take every waiting connection first: the handler may unregister the name while we serve one.
    std::vector<QLocalSocket*> arrived;
    while (QLocalSocket* socket = server->nextPendingConnection()) arrived.push_back(socket);
    for (QLocalSocket* socket : arrived) {
        if (!PeerIsOwnUser(socket) || connections.size() >= MaxConversations) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        const ConversationHandle handle = Adopt(socket, true, registeredName);
        // Handles are never reused, so a late timer cannot drop a later connection.
        QTimer::singleShot(connectDeadlineMs, this, [this, handle] {
            const Connection* connection = Find(handle);
            if (connection != nullptr && !connection->established) Drop(handle, false);
        });
        ReadFrom(handle);
    }
}

void IpcInstance::ReadFrom(ConversationHandle handle) {
    for (;;) {
        Connection* connection = Find(handle);
        if (connection == nullptr) return;
        IpcFrame frame;
        const auto status = connection->reader.Next(frame);
        if (status == IpcFrameReader::Status::NeedMore) {
            const qint64 available = connection->socket->bytesAvailable();
            if (available <= 0) return;
            connection->reader.Append(connection->socket->read(std::min(available, connection->reader.Wanted())));
            continue;
        }
        // A peer that breaks the protocol loses its conversation, and only that one.
        if (status == IpcFrameReader::Status::Malformed || !Dispatch(handle, frame)) {
            Drop(handle, true);
            return;
        }
    }
}

bool IpcInstance::Dispatch(ConversationHandle handle, const IpcFrame& frame) {
    const Connection* connection = Find(handle);
    return connection->serverSide ? DispatchServer(handle, frame) : DispatchClient(handle, frame);
}

bool IpcInstance::DispatchServer(ConversationHandle handle, const IpcFrame& frame) {
    Connection* connection = Find(handle);
    if (!connection->established) {
        if (frame.kind != FrameKind::Connect) return false;
        const QString service = QString::fromUtf8(frame.first);
        const QString topic = QString::fromUtf8(frame.second);
        const bool accepted = frame.version == IpcFrame::ProtocolVersion &&
                              service.compare(connection->registeredName, Qt::CaseInsensitive) == 0 &&
                              handler != nullptr && handler->AcceptConnect(service, topic);
        IpcFrame reply;
        reply.kind = FrameKind::ConnectReply;
        reply.transaction = frame.transaction;
        reply.flag = accepted;
        Send(handle, reply);
        connection = Find(handle);
        if (connection == nullptr) return true;
        if (!accepted) {
            Retire(connection->socket);
            connections.erase(handle);
            return true;
        }
        connection->established = true;
        connection->service = service;
        connection->topic = topic;
        handler->Connected(handle, service, topic);
        return true;
    }
    const QString topic = connection->topic;
    IpcFrame reply;
    reply.transaction = frame.transaction;
    if (frame.kind == FrameKind::Request) {
        const auto data = handler->Request(handle, topic, frame.first);
        reply.kind = FrameKind::Reply;
        // A reply too large for one frame cannot be sent; the partner hears "no data".
        reply.flag = data.has_value() && data->size() <= IpcFrame::MaxPayloadSize;
        if (reply.flag) reply.first = *data;
    } else if (frame.kind == FrameKind::Poke) {
        reply.kind = FrameKind::PokeReply;
        reply.flag = handler->Poke(handle, topic, frame.first, frame.second);
    } else if (frame.kind == FrameKind::Execute) {
        reply.kind = FrameKind::ExecuteReply;
        reply.flag = handler->Execute(handle, topic, frame.first);
    } else {
        return false;
    }
    Send(handle, reply);
    return true;
}

bool IpcInstance::DispatchClient(ConversationHandle handle, const IpcFrame& frame) {
    const bool answerKind = frame.kind == FrameKind::ConnectReply || frame.kind == FrameKind::Reply ||
                            frame.kind == FrameKind::PokeReply || frame.kind == FrameKind::ExecuteReply;
    if (!answerKind) return false;
    if (pending && !pending->done && pending->handle == handle && pending->transaction == frame.transaction) {
        if (frame.kind != pending->answer) return false;
        pending->done = true;
        pending->reply = frame;
        Wake();
    }
    // Any other answer is a late one to a call that timed out: dropped, the conversation goes on.
    return true;
}

void IpcInstance::Drop(ConversationHandle handle, bool tellHandler) {
    const auto found = connections.find(handle);
    if (found == connections.end()) return;
    std::unique_ptr<Connection> connection = std::move(found->second);
    connections.erase(found);
    connection->socket->disconnect(this);
    connection->socket->abort();
    connection->socket->deleteLater();
    if (pending && !pending->done && pending->handle == handle) {
        pending->done = true;
        pending->failed = true;
        Wake();
    }
    if (tellHandler && connection->serverSide && connection->established && handler != nullptr)
        handler->Disconnected(handle);
}

void IpcInstance::Send(ConversationHandle handle, const IpcFrame& frame) {
    Connection* connection = Find(handle);
    if (connection == nullptr) return;
    QByteArray bytes = frame.Encode();
    const bool written = !bytes.isEmpty() && connection->socket->write(bytes) == bytes.size();
    // A request may carry a password in its item; the encoded copy is ours to wipe.
    if (!bytes.isEmpty()) SecureWipe(bytes.data(), static_cast<std::size_t>(bytes.size()));
    if (!written) {
        Drop(handle, true);
        return;
    }
    connection->socket->flush();
}

void IpcInstance::Wake() {
    if (waitLoop != nullptr) waitLoop->quit();
}

void IpcInstance::SetUserInputWhileWaiting(bool allowed) {
    if (userInputWhileWaiting == allowed) return;
    userInputWhileWaiting = allowed;
    // The wait goes on with the new rule for user input.
    Wake();
}

void IpcInstance::CancelWait() {
    if (!pending || pending->done) return;
    pending->done = true;
    pending->cancelled = true;
    Wake();
}

bool IpcInstance::TakeCancelled() {
    const bool was = cancelled;
    cancelled = false;
    return was;
}

std::optional<IpcFrame> IpcInstance::Transact(ConversationHandle handle, IpcFrame frame, FrameKind answer,
                                              IpcError timeoutError) {
    frame.transaction = nextTransaction++;
    pending = std::make_unique<Pending>();
    pending->handle = handle;
    pending->transaction = frame.transaction;
    pending->answer = answer;
    Send(handle, frame);

    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    waitLoop = &loop;
    timer.start(std::max(0, timeoutMs));
    // The reply may have come in during Send already; user input waits, our own server does not.
    ReadFrom(handle);
    IpcWaitObserver* observer = pending->done ? nullptr : waitObserver;
    if (observer) {
        const Connection* connection = Find(handle);
        const bool connecting = answer == FrameKind::ConnectReply;
        IpcWaitObserver::Wait wait;
        wait.service = connecting ? QString::fromUtf8(frame.first) : (connection ? connection->service : QString());
        wait.topic = connecting ? QString::fromUtf8(frame.second) : (connection ? connection->topic : QString());
        wait.connecting = connecting;
        wait.timeoutMs = timeoutMs;
        observer->WaitStarted(wait);
    }
    // Windows keep painting and timers keep running meanwhile; input only when the observer says.
    while (!pending->done && timer.isActive())
        loop.exec(userInputWhileWaiting ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents);
    waitLoop = nullptr;
    userInputWhileWaiting = false;
    if (observer && observer == waitObserver) observer->WaitEnded();

    const std::unique_ptr<Pending> finished = std::move(pending);
    if (finished->cancelled) {
        // The conversation stays for its owner to end; an answer that comes late finds no call.
        cancelled = true;
        return std::nullopt;
    }
    if (!finished->done) {
        lastError = timeoutError;
        return std::nullopt;
    }
    if (finished->failed) {
        lastError = IpcError::ServerDied;
        return std::nullopt;
    }
    return finished->reply;
}

ConversationHandle IpcInstance::Connect(const QString& service, const QString& topic) {
    if (!IsValid()) return Fail(IpcError::DllNotInitialized), 0;
    if (pending) return Fail(IpcError::Reentrancy), 0;
    const QString path = IpcEndpointDirectory::EndpointPath(directory, service);
    const QByteArray topicBytes = topic.toUtf8();
    if (path.isEmpty() || topicBytes.isEmpty() || topicBytes.size() > IpcFrame::MaxNameSize)
        return Fail(IpcError::InvalidParameter), 0;
    if (!QFile::exists(path)) return Fail(IpcError::NoConvEstablished), 0;

    auto* socket = new QLocalSocket(this);
    socket->connectToServer(path);
    if (!socket->waitForConnected(std::max(0, timeoutMs)) || !PeerIsOwnUser(socket)) {
        socket->abort();
        delete socket;
        return Fail(IpcError::NoConvEstablished), 0;
    }
    const ConversationHandle handle = Adopt(socket, false, {});
    IpcFrame request;
    request.kind = FrameKind::Connect;
    request.first = service.toUtf8();
    request.second = topicBytes;
    const auto reply = Transact(handle, request, FrameKind::ConnectReply, IpcError::NoConvEstablished);
    if (!reply || !reply->flag) {
        Drop(handle, false);
        return Fail(IpcError::NoConvEstablished), 0;
    }
    if (Connection* connection = Find(handle)) {
        connection->established = true;
        connection->service = service;
        connection->topic = topic;
        return handle;
    }
    return Fail(IpcError::NoConvEstablished), 0;
}

std::optional<QByteArray> IpcInstance::Request(ConversationHandle conversation, const QByteArray& item) {
    if (!IsValid()) return Fail(IpcError::DllNotInitialized), std::nullopt;
    const Connection* connection = Find(conversation);
    if (connection == nullptr || connection->serverSide || !connection->established ||
        item.size() > IpcFrame::MaxPayloadSize)
        return Fail(IpcError::InvalidParameter), std::nullopt;
    if (pending) return Fail(IpcError::Reentrancy), std::nullopt;
    IpcFrame request;
    request.kind = FrameKind::Request;
    request.first = item;
    const auto reply = Transact(conversation, request, FrameKind::Reply, IpcError::DataAckTimeout);
    if (!reply || !reply->flag) return std::nullopt;
    return reply->first;
}

bool IpcInstance::Poke(ConversationHandle conversation, const QByteArray& item, const QByteArray& data) {
    if (!IsValid()) return Fail(IpcError::DllNotInitialized);
    const Connection* connection = Find(conversation);
    if (connection == nullptr || connection->serverSide || !connection->established ||
        item.size() + data.size() > IpcFrame::MaxPayloadSize)
        return Fail(IpcError::InvalidParameter);
    if (pending) return Fail(IpcError::Reentrancy);
    IpcFrame poke;
    poke.kind = FrameKind::Poke;
    poke.first = item;
    poke.second = data;
    const auto reply = Transact(conversation, poke, FrameKind::PokeReply, IpcError::PokeAckTimeout);
    if (!reply) return false;
    return reply->flag || Fail(IpcError::NotProcessed);
}

bool IpcInstance::Execute(ConversationHandle conversation, const QByteArray& command) {
    if (!IsValid()) return Fail(IpcError::DllNotInitialized);
    const Connection* connection = Find(conversation);
    if (connection == nullptr || connection->serverSide || !connection->established ||
        command.size() > IpcFrame::MaxPayloadSize)
        return Fail(IpcError::InvalidParameter);
    if (pending) return Fail(IpcError::Reentrancy);
    IpcFrame execute;
    execute.kind = FrameKind::Execute;
    execute.first = command;
    const auto reply = Transact(conversation, execute, FrameKind::ExecuteReply, IpcError::ExecAckTimeout);
    if (!reply) return false;
    return reply->flag || Fail(IpcError::NotProcessed);
}

bool IpcInstance::Disconnect(ConversationHandle conversation) {
    if (!IsValid()) return Fail(IpcError::DllNotInitialized);
    const auto found = connections.find(conversation);
    if (found == connections.end()) return Fail(IpcError::InvalidParameter);
    std::unique_ptr<Connection> connection = std::move(found->second);
    connections.erase(found);
    if (pending && !pending->done && pending->handle == conversation) {
        pending->done = true;
        pending->failed = true;
        Wake();
    }
    Retire(connection->socket);
    return true;
}

}  // namespace tessarel::browser
