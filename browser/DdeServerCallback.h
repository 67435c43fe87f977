#pragma once
// What the program answers under its own server names: a browser may open a conversation with
// any live CDDEObject's name (on any topic) and report on a page load it was asked for, with
// requests for "WWW_Alert", "WWW_BeginProgress", "WWW_MakingProgress", "WWW_OpenURL" and
// "WWW_QueryViewer" and pokes that are acknowledged and otherwise ignored.

#include <string>

#include "browser/IpcHandler.h"

namespace tessarel::browser {

class DdeServerCallback : public IpcHandler {
public:
    bool AcceptConnect(const QString& service, const QString& topic) override;
    void Connected(ConversationHandle conversation, const QString& service, const QString& topic) override;
    void Disconnected(ConversationHandle conversation) override;
    std::optional<QByteArray> Request(ConversationHandle conversation, const QString& topic,
                                      const QByteArray& item) override;
    bool Poke(ConversationHandle conversation, const QString& topic, const QByteArray& item,
              const QByteArray& data) override;

    // The reply data for a request on a topic; nullopt for topics the program does not answer.
    static std::optional<std::string> Answer(int verbIndex, const std::string& item);
    // Whether a poke on a topic is acknowledged.
    static bool AcknowledgesPoke(int verbIndex, const std::string& item);
    // A fresh file name in the system's temporary folder for "WWW_QueryViewer".
    static std::string TemporaryViewerName();
};

}  // namespace tessarel::browser
