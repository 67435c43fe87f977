#pragma once
// The local IPC that stands in for the platform's DDE management library: conversations by
// service and topic name, synchronous requests with an item text and a plain-text reply, pokes,
// a time-out, registration of server names and one handler for everything that comes in.
//
// Every conversation is one local-socket connection to the endpoint of a service name, in a
// folder private to the user; a peer that runs as another user is refused on both ends. While a
// synchronous call waits, the instance keeps serving its own names (user input is held back), so
// a partner may call back in the middle of a request. The wire format is docs/ipc-protocol.md.

#include <QByteArray>
#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>

#include "browser/IpcError.h"
#include "browser/IpcFrame.h"
#include "browser/IpcHandler.h"
#include "browser/IpcWaitObserver.h"

class QEventLoop;
class QLocalServer;
class QLocalSocket;

namespace tessarel::browser {

class IpcInstance : public QObject {
public:
    static constexpr int DefaultTimeoutMs = 60000;
    static constexpr std::size_t MaxConversations = 64;
    // How long an arriving connection may take to complete its Connect before it is dropped, so
    // silent peers cannot hold the conversation slots.
    static constexpr int DefaultConnectDeadlineMs = 5000;

    // Finds (or makes) the private endpoint folder. Without one the instance is not valid and
    // every call fails with DllNotInitialized.
    explicit IpcInstance(IpcHandler* serverHandler);
    ~IpcInstance() override;
    IpcInstance(const IpcInstance&) = delete;
    IpcInstance& operator=(const IpcInstance&) = delete;

    bool IsValid() const { return !directory.isEmpty(); }
    const QString& Directory() const { return directory; }

    // How long Connect, Request, Poke and Execute wait for the partner, in milliseconds.
    void SetTimeout(int milliseconds) { timeoutMs = milliseconds; }
    int Timeout() const { return timeoutMs; }
    void SetConnectDeadline(int milliseconds) { connectDeadlineMs = milliseconds; }

    bool RegisterName(const QString& service);
    bool UnregisterName(const QString& service);

    // 0 when no conversation could be opened.
    ConversationHandle Connect(const QString& service, const QString& topic);
    // The reply data, or nullopt for "no data" (LastError tells a failure from a plain no).
    std::optional<QByteArray> Request(ConversationHandle conversation, const QByteArray& item);
    bool Poke(ConversationHandle conversation, const QByteArray& item, const QByteArray& data);
    bool Execute(ConversationHandle conversation, const QByteArray& command);
    // Ends a conversation of either side; the partner's handler hears of it, ours does not.
    bool Disconnect(ConversationHandle conversation);

    // The error of the last call that failed since the last look, then None again.
    IpcError LastError();

    // Told whenever a call waits for its partner (nullptr: nobody).
    void SetWaitObserver(IpcWaitObserver* observer) { waitObserver = observer; }
    IpcWaitObserver* WaitObserver() const { return waitObserver; }
    // While a call waits, user input is held back unless the observer allows it (it does once
    // it shows a window of its own that keeps the person away from everything else).
    void SetUserInputWhileWaiting(bool allowed);
    // Stops the current wait at once, as if the partner had not answered, but without an error:
    // the person chose it. The conversation is dropped; its partner may answer it no more.
    void CancelWait();
    // Whether a wait was cancelled since the last look, then false again.
    bool TakeCancelled();

    std::size_t ConversationCount() const { return connections.size(); }

    // Tests replace the platform's peer lookup to play a peer of another user.
    using PeerLookup = std::function<std::optional<std::uint32_t>(qintptr)>;
    void SetPeerLookup(PeerLookup lookup) { peerLookup = std::move(lookup); }

private:
    struct Connection;
    struct Pending;

    bool Fail(IpcError error);
    Connection* Find(ConversationHandle handle) const;
    ConversationHandle Adopt(QLocalSocket* socket, bool serverSide, const QString& registeredName);
    void AcceptPending(QLocalServer* server, const QString& registeredName);
    bool PeerIsOwnUser(QLocalSocket* socket) const;
    void ReadFrom(ConversationHandle handle);
    bool Dispatch(ConversationHandle handle, const IpcFrame& frame);
    bool DispatchServer(ConversationHandle handle, const IpcFrame& frame);
    bool DispatchClient(ConversationHandle handle, const IpcFrame& frame);
    void Drop(ConversationHandle handle, bool tellHandler);
    void Send(ConversationHandle handle, const IpcFrame& frame);
    std::optional<IpcFrame> Transact(ConversationHandle handle, IpcFrame frame, FrameKind answer,
                                     IpcError timeoutError);
    void Wake();

    IpcHandler* handler;
    QString directory;
    int timeoutMs = DefaultTimeoutMs;
    int connectDeadlineMs = DefaultConnectDeadlineMs;
    IpcError lastError = IpcError::None;
    PeerLookup peerLookup;
    ConversationHandle nextHandle = 1;
    std::uint32_t nextTransaction = 1;
    std::map<QString, std::unique_ptr<QLocalServer>> servers;  // by endpoint path
    std::map<ConversationHandle, std::unique_ptr<Connection>> connections;
    std::unique_ptr<Pending> pending;
    QEventLoop* waitLoop = nullptr;
    IpcWaitObserver* waitObserver = nullptr;
    bool userInputWhileWaiting = false;
    bool cancelled = false;
};

}  // namespace tessarel::browser
