#include "browser/peer/ScriptedBrowser.h"

#include <QTimer>
#include <chrono>
#include <thread>

#include "browser/DdeArguments.h"
#include "browser/DdeVerbs.h"

namespace tessarel::browser {
namespace {

std::string Shown(const DdeValue& value) {
    if (const auto* number = std::get_if<std::uint32_t>(&value)) return std::to_string(*number);
    if (const auto* flag = std::get_if<bool>(&value)) return *flag ? "TRUE" : "FALSE";
    if (const auto* text = std::get_if<std::string>(&value)) return *text;
    return {};
}

}  // namespace

ScriptedBrowser::ScriptedBrowser(Script givenScript) : script(std::move(givenScript)), ipc(this) {}

bool ScriptedBrowser::Serve(const QStringList& serviceNames) {
    for (const QString& name : serviceNames)
        if (!ipc.RegisterName(name)) return false;
    return true;
}

void ScriptedBrowser::Record(const std::string& line) {
    events.push_back(line);
    if (onEvent) onEvent(line);
}

bool ScriptedBrowser::AcceptConnect(const QString&, const QString&) { return true; }

void ScriptedBrowser::Connected(ConversationHandle, const QString&, const QString& topic) {
    Record("CONNECT " + topic.toStdString());
}

void ScriptedBrowser::Disconnected(ConversationHandle) { Record("DISCONNECT"); }

std::optional<QByteArray> ScriptedBrowser::Request(ConversationHandle, const QString& topic, const QByteArray& item) {
    Record("REQUEST " + topic.toStdString() + " " + item.toStdString());
    // A hung browser: nothing of this process moves while it stalls.
    if (script.stallMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(script.stallMs));
    if (script.silentTopics.count(topic.toLower()) != 0) return std::nullopt;
    const auto reply = Answer(DdeVerbIndex(topic.toStdString()), item.toStdString());
    if (!reply) return std::nullopt;
    return QByteArray::fromStdString(*reply);
}

bool ScriptedBrowser::Poke(ConversationHandle, const QString& topic, const QByteArray& item, const QByteArray& data) {
    Record("POKE " + topic.toStdString() + " " + item.toStdString() + " " + data.toStdString());
    return true;
}

std::optional<std::string> ScriptedBrowser::Answer(int verb, const std::string& item) {
    switch (verb) {
    case WWW_Activate: {
        const auto arguments = DdeArguments::Decode("DW,DW", item);
        const auto window = std::get<std::uint32_t>(arguments[0]);
        return DdeArguments::EncodeReply("DW", {window == 0 || window == 0xFFFFFFFFu ? script.windowId : window});
    }
    case WWW_OpenURL: {
        const auto arguments = DdeArguments::Decode("QCS,QCS,DW,DW,QCS,QCS,CS", item);
        lastAddress = std::get<std::string>(arguments[0]);
        const auto progressServer = QString::fromStdString(std::get<std::string>(arguments[6]));
        if (script.reportProgress && !progressServer.isEmpty())
            QTimer::singleShot(0, [this, progressServer] { ReportProgress(progressServer); });
        return DdeArguments::EncodeReply("DW", {script.windowId});
    }
    case WWW_GetWindowInfo:
        return DdeArguments::EncodeReply("QCS,QCS", {lastAddress, script.title.toStdString()});
    case WWW_Version:
        return DdeArguments::EncodeReply("DW", {0x00010000u});
    case WWW_Exit:
        if (onExit) QTimer::singleShot(0, onExit);
        return DdeArguments::EncodeReply("DW", {0u});
    default:
        return std::nullopt;
    }
}

std::string ScriptedBrowser::RequestProgress(const QString& server, const char* verb, const std::string& item,
                                             const char* replyLayout) {
    const ConversationHandle conversation = ipc.Connect(server, QString::fromLatin1(verb));
    if (conversation == 0) return "NO_CONVERSATION";
    const auto data = ipc.Request(conversation, QByteArray::fromStdString(item));
    ipc.Disconnect(conversation);
    if (!data) return "NO_DATA";
    std::string shown;
    for (const auto& value : DdeArguments::DecodeReply(replyLayout, data->toStdString()))
        shown += (shown.empty() ? "" : ",") + Shown(value);
    return shown;
}

void ScriptedBrowser::ReportProgress(const QString& progressServer) {
    const std::string window = std::to_string(script.windowId);
    Record("PROGRESS WWW_BeginProgress " +
           RequestProgress(progressServer, "WWW_BeginProgress", window + ",\"Loading\"", "DW"));
    Record("PROGRESS WWW_MakingProgress " +
           RequestProgress(progressServer, "WWW_MakingProgress", window + ",\"Loading\",50", "BL"));
    const ConversationHandle conversation = ipc.Connect(progressServer, QStringLiteral("WWW_EndProgress"));
    const bool acknowledged = conversation != 0 && ipc.Poke(conversation, window.c_str(), QByteArray());
    if (conversation != 0) ipc.Disconnect(conversation);
    Record(std::string("PROGRESS WWW_EndProgress ") + (acknowledged ? "ACK" : "NACK"));
}

}  // namespace tessarel::browser
