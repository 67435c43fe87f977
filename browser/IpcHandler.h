#pragma once
// What a server of the local IPC is told about its conversations. One handler serves every name
// an instance has registered; it runs on the thread of the instance, also while that instance is
// itself waiting for a reply, as the library the IPC stands in for did.

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <optional>

namespace tessarel::browser {

using ConversationHandle = std::uint64_t;  // 0 is never a conversation

class IpcHandler {
public:
    virtual ~IpcHandler() = default;

    // A client asks for a conversation with one of our registered names on a topic.
    virtual bool AcceptConnect(const QString& service, const QString& topic) = 0;
    // The conversation is open; the handle names it until Disconnected.
    virtual void Connected(ConversationHandle conversation, const QString& service, const QString& topic) = 0;
    virtual void Disconnected(ConversationHandle conversation) = 0;
    // A request on the conversation's topic. nullopt answers "no data".
    virtual std::optional<QByteArray> Request(ConversationHandle conversation, const QString& topic,
                                              const QByteArray& item) = 0;
    // A poke; true acknowledges it.
    virtual bool Poke(ConversationHandle conversation, const QString& topic, const QByteArray& item,
                      const QByteArray& data) = 0;
    // A command to carry out (the shell's open requests); true acknowledges it. Servers that take
    // no commands keep this answer.
    virtual bool Execute(ConversationHandle, const QString&, const QByteArray&) { return false; }
};

}  // namespace tessarel::browser
