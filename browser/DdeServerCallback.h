#pragma once
// What the program answers under its own server names: a browser may open a conversation with
// any live CDDEObject's name (on any topic) and report on a page load it was asked for, with
// requests for "WWW_Alert", "WWW_BeginProgress", "WWW_MakingProgress", "WWW_OpenURL" and
// "WWW_QueryViewer" and pokes that are acknowledged and otherwise ignored.

#include <set>
#include <string>

#include "browser/IpcHandler.h"

namespace tessarel::browser {

class DdeServerCallback : public IpcHandler {
public:
    DdeServerCallback() = default;
    // Removes the viewer files handed out and not yet used.
    ~DdeServerCallback() override;
    DdeServerCallback(const DdeServerCallback&) = delete;
    DdeServerCallback& operator=(const DdeServerCallback&) = delete;

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

private:
    // The files named in "WWW_QueryViewer" answers. A browser writes the page there and names the
    // file in a "WWW_ViewDocFile" poke; the program shows no such documents, so the file (which
    // may hold a page of the person's account) is removed then, or when the program ends.
    std::set<std::string> viewerFiles;
};

}  // namespace tessarel::browser
