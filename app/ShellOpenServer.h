#pragma once
// The shell's open requests between two starts of the program. The running program serves its
// module name (the program file's name without folder and extension) on the topic "system" and
// takes commands of the forms [open("FILE")], [print("FILE")] and
// [printto("FILE","PRINTER","DRIVER","PORT")]. A start with the "dde" flag first offers its
// request to that server and ends when it was taken; with no program running it opens the file
// itself.

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>

#include "browser/IpcHandler.h"
#include "browser/IpcInstance.h"

namespace tessarel {

class ShellOpenServer : public browser::IpcHandler {
public:
    static constexpr const char* kTopic = "system";
    enum class HandOver { Taken, Refused, NoServer };
    // Called on the user-interface thread, after the request has been answered.
    using OpenHandler = std::function<void(const QString& path)>;
    // Prints the file; `printer` is empty for the default printer.
    using PrintHandler = std::function<void(const QString& path, const QString& printer)>;

    struct ShellRequest {
        enum class Verb { Open, Print, PrintTo };
        Verb verb = Verb::Open;
        QString path;
        QString printer;  // PrintTo only
        bool operator==(const ShellRequest&) const = default;
    };

    ShellOpenServer(QString serviceName, OpenHandler open, PrintHandler print = {});

    // The service name of a program file: "tessarel" for "/usr/bin/tessarel".
    static QString ServiceNameOf(const QString& programPath);
    static QByteArray OpenCommand(const QString& path);
    // The file of a command [open("FILE")] (the verb in any case); nullopt for anything else.
    static std::optional<QString> ParseOpen(const QByteArray& command);
    static QByteArray PrintCommand(const QString& path);
    static QByteArray PrintToCommand(const QString& path, const QString& printer, const QString& driver, const QString& port);
    // Any of the three commands (verbs in any case); nullopt for anything else.
    static std::optional<ShellRequest> ParseRequest(const QByteArray& command);

    // Offers `command` to the program that serves our name.
    HandOver Offer(const QByteArray& command);
    // Starts serving our name; false when it cannot be had (another program serves it).
    bool Listen();
    bool IsListening() const { return listening; }
    browser::IpcInstance& Ipc() { return ipc; }

    bool AcceptConnect(const QString& service, const QString& topic) override;
    void Connected(browser::ConversationHandle, const QString&, const QString&) override {}
    void Disconnected(browser::ConversationHandle) override {}
    std::optional<QByteArray> Request(browser::ConversationHandle, const QString&, const QByteArray&) override {
        return std::nullopt;
    }
    bool Poke(browser::ConversationHandle, const QString&, const QByteArray&, const QByteArray&) override { return false; }
    bool Execute(browser::ConversationHandle conversation, const QString& topic, const QByteArray& command) override;

private:
    QString service;
    OpenHandler open;
    PrintHandler print;
    browser::IpcInstance ipc;
    bool listening = false;
};

}  // namespace tessarel
