#include "ShellOpenServer.h"

#include <QFile>
#include <QFileInfo>
#include <QTimer>

namespace tessarel {

namespace {

constexpr char kOpenStart[] = "[open(\"";
constexpr char kPrintStart[] = "[print(\"";
constexpr char kPrintToStart[] = "[printto(\"";
constexpr char kOpenEnd[] = "\")]";
constexpr char kArgumentSeparator[] = "\",\"";
// The hand-over is answered at once (the open itself runs later), so a short wait is enough.
constexpr int kOfferTimeoutMs = 10000;

// The text between `start` (its verb in any case) and the closing quote and brackets.
std::optional<QByteArray> ArgumentsOf(const QByteArray& command, const char* start) {
    const QByteArray head(start);
    const QByteArray end(kOpenEnd);
    if (command.size() <= head.size() + end.size()) return std::nullopt;
    if (command.left(head.size()).toLower() != head || !command.endsWith(end)) return std::nullopt;
    QByteArray arguments = command.mid(head.size(), command.size() - head.size() - end.size());
    if (arguments.contains('\0')) return std::nullopt;
    return arguments;
}

}  // namespace

ShellOpenServer::ShellOpenServer(QString serviceName, OpenHandler handler, PrintHandler printHandler)
    : service(std::move(serviceName)), open(std::move(handler)), print(std::move(printHandler)), ipc(this) {}

QString ShellOpenServer::ServiceNameOf(const QString& programPath) { return QFileInfo(programPath).completeBaseName(); }

QByteArray ShellOpenServer::OpenCommand(const QString& path) {
    // File names travel as the file system spells them, so every name survives the trip.
    return QByteArray(kOpenStart) + QFile::encodeName(path) + QByteArray(kOpenEnd);
}

std::optional<QString> ShellOpenServer::ParseOpen(const QByteArray& command) {
    std::optional<ShellRequest> request = ParseRequest(command);
    if (!request || request->verb != ShellRequest::Verb::Open) return std::nullopt;
    return request->path;
}

QByteArray ShellOpenServer::PrintCommand(const QString& path) {
    return QByteArray(kPrintStart) + QFile::encodeName(path) + QByteArray(kOpenEnd);
}

QByteArray ShellOpenServer::PrintToCommand(const QString& path, const QString& printer, const QString& driver, const QString& port) {
    const QByteArray separator(kArgumentSeparator);
    return QByteArray(kPrintToStart) + QFile::encodeName(path) + separator + printer.toUtf8() + separator + driver.toUtf8() +
           separator + port.toUtf8() + QByteArray(kOpenEnd);
}

std::optional<ShellOpenServer::ShellRequest> ShellOpenServer::ParseRequest(const QByteArray& command) {
    // Everything between the first quote and the last one is the name, quotes in it included.
    if (std::optional<QByteArray> name = ArgumentsOf(command, kOpenStart))
        return ShellRequest{ShellRequest::Verb::Open, QFile::decodeName(*name), {}};
    if (std::optional<QByteArray> name = ArgumentsOf(command, kPrintStart))
        return ShellRequest{ShellRequest::Verb::Print, QFile::decodeName(*name), {}};
    std::optional<QByteArray> arguments = ArgumentsOf(command, kPrintToStart);
    if (!arguments) return std::nullopt;
    // File, printer, driver and port. The last three are counted from the end, so a file name
    // holding the separator itself still arrives whole.
    QList<QByteArray> parts;
    const QByteArray separator(kArgumentSeparator);
    qsizetype from = 0;
    for (qsizetype at = arguments->indexOf(separator); at >= 0; at = arguments->indexOf(separator, from)) {
        parts << arguments->mid(from, at - from);
        from = at + separator.size();
    }
    parts << arguments->mid(from);
    if (parts.size() < 4) return std::nullopt;
    const qsizetype nameParts = parts.size() - 3;
    QByteArray name = parts.mid(0, nameParts).join(separator);
    if (name.isEmpty()) return std::nullopt;
    return ShellRequest{ShellRequest::Verb::PrintTo, QFile::decodeName(name), QString::fromUtf8(parts[nameParts])};
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
    std::optional<ShellRequest> request = ParseRequest(command);
    if (!request) return false;
    // The open may ask for a password; the other program must not wait for the person, so the
    // request is taken now and carried out once this answer is on its way.
    if (request->verb == ShellRequest::Verb::Open) {
        if (!open) return false;
        QTimer::singleShot(0, &ipc, [handler = open, file = request->path] { handler(file); });
        return true;
    }
    if (!print) return false;
    QTimer::singleShot(0, &ipc, [handler = print, file = request->path, printer = request->printer] { handler(file, printer); });
    return true;
}

}  // namespace tessarel
