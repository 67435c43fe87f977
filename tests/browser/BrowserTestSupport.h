#pragma once
// Helpers for the browser tests: pumping the event loop until something happened, a handler that
// records what a server hears, a raw socket for hand-made frames, and the scripted browser as a
// process of its own.

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QProcess>
#include <QThread>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "browser/IpcFrame.h"
#include "browser/IpcHandler.h"

namespace tessarel::browser::testing {

// Runs events until the condition holds or the time is up; returns the condition.
inline bool PumpUntil(const std::function<bool()>& condition, int milliseconds = 5000) {
    QDeadlineTimer deadline(milliseconds);
    while (!condition() && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(1);
    }
    return condition();
}

// Whether a server listens at the local socket `path`. Its file appearing is not enough: the
// server binds the name before it listens, and a connection in between is refused.
inline bool EndpointListens(const QString& path) {
    QLocalSocket probe;
    probe.connectToServer(path);
    const bool listening = probe.waitForConnected(200);
    probe.abort();
    return listening;
}

class RecordingHandler : public IpcHandler {
public:
    bool AcceptConnect(const QString& service, const QString& topic) override {
        events.push_back("accept? " + service.toStdString() + " " + topic.toStdString());
        return acceptTopics.empty() || acceptTopics.count(topic.toStdString()) != 0;
    }
    void Connected(ConversationHandle, const QString& service, const QString& topic) override {
        events.push_back("connected " + service.toStdString() + " " + topic.toStdString());
    }
    void Disconnected(ConversationHandle) override { events.push_back("disconnected"); }
    std::optional<QByteArray> Request(ConversationHandle, const QString& topic, const QByteArray& item) override {
        events.push_back("request " + topic.toStdString() + " " + item.toStdString());
        const auto found = replies.find(item.toStdString());
        if (found == replies.end()) return std::nullopt;
        return QByteArray::fromStdString(found->second);
    }
    bool Poke(ConversationHandle, const QString& topic, const QByteArray& item, const QByteArray& data) override {
        events.push_back("poke " + topic.toStdString() + " " + item.toStdString() + " " + data.toStdString());
        return acknowledgePokes;
    }
    bool Execute(ConversationHandle, const QString& topic, const QByteArray& command) override {
        events.push_back("execute " + topic.toStdString() + " " + command.toStdString());
        return acknowledgePokes;
    }
    int Count(const std::string& prefix) const {
        int count = 0;
        for (const auto& event : events) count += event.rfind(prefix, 0) == 0 ? 1 : 0;
        return count;
    }

    std::vector<std::string> events;
    std::set<std::string> acceptTopics;           // empty: every topic
    std::map<std::string, std::string> replies;   // item -> reply data; others get no data
    bool acknowledgePokes = true;  // pokes and commands alike
};

inline QByteArray ConnectFrame(const QByteArray& service, const QByteArray& topic, std::uint32_t transaction = 1) {
    IpcFrame frame;
    frame.kind = FrameKind::Connect;
    frame.transaction = transaction;
    frame.first = service;
    frame.second = topic;
    return frame.Encode();
}

// The scripted browser as its own process; it ends with our end of its standard input.
class PeerProcess {
public:
    bool Start(const QStringList& arguments) {
        process.setProgram(QCoreApplication::applicationDirPath() + QStringLiteral("/tessarel-browser-peer"));
        process.setArguments(arguments);
        process.start();
        return process.waitForStarted(5000) && WaitForLine("READY");
    }
    ~PeerProcess() {
        if (process.state() == QProcess::NotRunning) return;
        process.closeWriteChannel();
        if (!process.waitForFinished(3000)) {
            process.kill();
            process.waitForFinished(3000);
        }
    }
    // Waits (serving our own events) until the peer printed the line; every line stays in Lines().
    bool WaitForLine(const std::string& line, int milliseconds = 5000) {
        return PumpUntil([&] {
            Collect();
            for (const auto& seen : lines)
                if (seen == line) return true;
            return false;
        }, milliseconds);
    }
    const std::vector<std::string>& Lines() {
        Collect();
        return lines;
    }
    QProcess& Process() { return process; }

private:
    void Collect() {
        while (process.canReadLine()) lines.push_back(process.readLine().trimmed().toStdString());
    }
    QProcess process;
    std::vector<std::string> lines;
};

}  // namespace tessarel::browser::testing
