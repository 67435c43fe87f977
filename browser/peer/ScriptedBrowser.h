#pragma once
// A stand-in web browser for tests and trials: it serves the "WWW_" verbs under one or more
// service names the way the browsers did, records everything it receives, and can be told to
// hang (to play a browser that never answers) or to report a page load back to the progress
// server named in "WWW_OpenURL".

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "browser/IpcHandler.h"
#include "browser/IpcInstance.h"

namespace tessarel::browser {

class ScriptedBrowser : public IpcHandler {
public:
    struct Script {
        QString title = QStringLiteral("Scripted Page");  // what "WWW_GetWindowInfo" names the page
        std::uint32_t windowId = 1;                       // the browser's one window
        int stallMs = 0;                                  // how long every request hangs first
        std::set<QString> silentTopics;                   // topics answered with no data (lower case)
        bool reportProgress = false;                      // call the progress server after "WWW_OpenURL"
    };

    explicit ScriptedBrowser(Script script);
    bool Serve(const QStringList& serviceNames);
    IpcInstance& Ipc() { return ipc; }

    // One line per event: "CONNECT <topic>", "REQUEST <topic> <item>", "POKE <topic> <item> <data>",
    // "DISCONNECT", and for progress reports "PROGRESS <verb> <reply>".
    std::vector<std::string> events;
    std::function<void(const std::string&)> onEvent;
    std::function<void()> onExit;  // "WWW_Exit" was answered

    bool AcceptConnect(const QString& service, const QString& topic) override;
    void Connected(ConversationHandle conversation, const QString& service, const QString& topic) override;
    void Disconnected(ConversationHandle conversation) override;
    std::optional<QByteArray> Request(ConversationHandle conversation, const QString& topic,
                                      const QByteArray& item) override;
    bool Poke(ConversationHandle conversation, const QString& topic, const QByteArray& item,
              const QByteArray& data) override;

private:
    void Record(const std::string& line);
    std::optional<std::string> Answer(int verb, const std::string& item);
    void ReportProgress(const QString& progressServer);
    std::string RequestProgress(const QString& server, const char* verb, const std::string& item,
                                const char* replyLayout);

    Script script;
    IpcInstance ipc;
    std::string lastAddress;
};

}  // namespace tessarel::browser
