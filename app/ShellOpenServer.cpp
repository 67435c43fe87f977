#include "ShellOpenServer.h"

#include <QFile>
#include <QFileInfo>
#include <QTimer>

namespace tessarel {

namespace {

constexpr char kOpenStart[] = "[open(\"";
constexpr char kOpenEnd[] = "\")]";
// The hand-over is answered at once (the open itself runs later), so a short wait is enough.
constexpr int kOfferTimeoutMs = 10000;

}  // namespace

ShellOpenServer::ShellOpenServer(QString serviceName, OpenHandler handler)
    : service(std::move(serviceName)), open(std::move(handler)), ipc(this) {}

QString ShellOpenServer::ServiceNameOf(const QString& programPath) { return QFileInfo(programPath).completeBaseName(); }

QByteArray ShellOpenServer::OpenCommand(const QString& path) {
    // File names travel as the file system spells them, so every name survives the trip.
    return QByteArray(kOpenStart) + QFile::encodeName(path) + QByteArray(kOpenEnd);
}

std::optional<QString> ShellOpenServer::ParseOpen(const QByteArray& command) {
    QByteArray start(kOpenStart);
    QByteArray end(kOpenEnd);
    if (command.size() <= start.size() + end.size()) return std::nullopt;
    if (command.left(start.size()).toLower() != start || !command.endsWith(end)) return std::nullopt;
    // Everything between the first quote and the last one is the name, quotes in it included.
    QByteArray name = command.mid(start.size(), command.size() - start.size() - end.size());
    if (name.contains('\0')) return std::nullopt;
    return QFile::decodeName(name);
}

ShellOpenServer::HandOver ShellOpenServer::Offer(const QByteArray& command) {
    if (!ipc.IsValid()) return HandOver::NoServer;
    int timeout = ipc.Timeout();
    ipc.SetTimeout(kOfferTimeoutMs);
    browser::ConversationHandle conversation = ipc.Connect(service, QString::fromLatin1(kTopic));
    HandOver result = HandOver::NoServer;
    if (conversation != 0) {
        result = ipc.Execute(conversation, command) ? HandOver::Taken : HandOver::Refused;
        ipc.Disconnect(conversation);
    }
    ipc.LastError();  // a failed offer is an answer here, not an error to keep
    ipc.SetTimeout(timeout);
    return result;
}

bool ShellOpenServer::Listen() {
    if (!listening && ipc.IsValid()) listening = ipc.RegisterName(service);
    return listening;
}

bool ShellOpenServer::AcceptConnect(const QString& name, const QString& topic) {
    return name.compare(service, Qt::CaseInsensitive) == 0 && topic.compare(QLatin1String(kTopic), Qt::CaseInsensitive) == 0;
}

bool ShellOpenServer::Execute(browser::ConversationHandle, const QString&, const QByteArray& command) {
    std::optional<QString> path = ParseOpen(command);
    if (!path || !open) return false;
    // The open may ask for a password; the other program must not wait for the person, so the
    // request is taken now and carried out once this answer is on its way.
    QTimer::singleShot(0, &ipc, [handler = open, file = *path] { handler(file); });
    return true;
}

}  // namespace tessarel
