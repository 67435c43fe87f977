#pragma once
// A D-Bus session bus of the test's own (dbus-daemon with a minimal configuration: no service
// activation, so only what the test starts is on it), and the stand-in OpenURI portal
// (tessarel-test-portal, built beside the tests). While it lives, DBUS_SESSION_BUS_ADDRESS of
// this process, and so of every process it starts, names that bus.

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <optional>

namespace tessarel::testing {

class PrivateSessionBus {
public:
    static bool DaemonInstalled() { return !QStandardPaths::findExecutable(QStringLiteral("dbus-daemon")).isEmpty(); }

    PrivateSessionBus() {
        if (qEnvironmentVariableIsSet("DBUS_SESSION_BUS_ADDRESS")) previous = qgetenv("DBUS_SESSION_BUS_ADDRESS");
        const QString config = folder.filePath(QStringLiteral("bus.conf"));
        QFile file(config);
        if (!file.open(QIODevice::WriteOnly)) return;
        file.write(("<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
                    " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
                    "<busconfig><type>session</type><listen>unix:dir=" + folder.path().toUtf8() + "</listen>\n"
                    "<policy context=\"default\"><allow send_destination=\"*\" eavesdrop=\"true\"/>"
                    "<allow eavesdrop=\"true\"/><allow own=\"*\"/></policy></busconfig>\n"));
        file.close();
        daemon.start(QStringLiteral("dbus-daemon"), {"--config-file=" + config, "--nofork", "--print-address=1"});
        if (!daemon.waitForStarted(5000)) return;
        while (!daemon.canReadLine() && daemon.waitForReadyRead(5000)) {
        }
        address = QString::fromUtf8(daemon.readLine()).trimmed();
        if (!address.isEmpty()) qputenv("DBUS_SESSION_BUS_ADDRESS", address.toUtf8());
    }

    ~PrivateSessionBus() {
        Stop(portal);
        Stop(daemon);
        if (previous) qputenv("DBUS_SESSION_BUS_ADDRESS", *previous);
        else qunsetenv("DBUS_SESSION_BUS_ADDRESS");
    }

    PrivateSessionBus(const PrivateSessionBus&) = delete;
    PrivateSessionBus& operator=(const PrivateSessionBus&) = delete;

    bool Started() const { return !address.isEmpty(); }
    QString Address() const { return address; }

    // Starts the stand-in portal, recording every uri it gets to `record`; with `refuse` it
    // answers every OpenURI with an error. True once it serves.
    bool StartPortal(const QString& record, bool refuse = false) {
        QStringList arguments{record};
        if (refuse) arguments << QStringLiteral("--refuse");
        portal.start(QCoreApplication::applicationDirPath() + QStringLiteral("/tessarel-test-portal"), arguments);
        if (!portal.waitForStarted(5000)) return false;
        while (!portal.canReadLine() && portal.waitForReadyRead(5000)) {
        }
        return portal.readLine().trimmed() == "ready";
    }

private:
    static void Stop(QProcess& process) {
        if (process.state() == QProcess::NotRunning) return;
        process.kill();
        process.waitForFinished(5000);
    }

    QTemporaryDir folder;
    QProcess daemon;
    QProcess portal;
    QString address;
    std::optional<QByteArray> previous;
};

}  // namespace tessarel::testing
