#include "browser/DesktopPortal.h"

#include <QAtomicInt>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QFileInfo>
#include <QVariantMap>

namespace tessarel::browser {

namespace {

// A private connection for one call, closed after it: the shared session connection would keep
// the first address it saw for the whole life of the process.
class BusCall {
public:
    BusCall() : name(QStringLiteral("tessarel-portal-%1").arg(counter.fetchAndAddRelaxed(1))) {
        const QString address = DesktopPortal::SessionBusAddress();
        if (!address.isEmpty()) connection = QDBusConnection::connectToBus(address, name);
    }
    ~BusCall() { QDBusConnection::disconnectFromBus(name); }
    BusCall(const BusCall&) = delete;
    BusCall& operator=(const BusCall&) = delete;

    // Calls and waits; true when the answer is a reply, not an error.
    bool Call(const QDBusMessage& message, int timeoutMs) {
        if (!connection.isConnected()) return false;
        return connection.call(message, QDBus::Block, timeoutMs).type() == QDBusMessage::ReplyMessage;
    }

private:
    static inline QAtomicInt counter;
    QString name;
    QDBusConnection connection{QString()};
};

}  // namespace

QString DesktopPortal::SessionBusAddress() {
    const QString named = qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS");
    if (!named.isEmpty()) return named;
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (runtime.isEmpty()) return {};
    const QString socket = runtime + QStringLiteral("/bus");
    return QFileInfo::exists(socket) ? QStringLiteral("unix:path=") + socket : QString();
}

bool DesktopPortal::Answers(int timeoutMs) {
    QDBusMessage get = QDBusMessage::createMethodCall(QString::fromLatin1(kService), QString::fromLatin1(kObjectPath),
                                                      QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get << QString::fromLatin1(kInterface) << QStringLiteral("version");
    BusCall call;
    return call.Call(get, timeoutMs);
}

bool DesktopPortal::OpenUri(const QString& uri, int timeoutMs) {
    QDBusMessage open = QDBusMessage::createMethodCall(QString::fromLatin1(kService), QString::fromLatin1(kObjectPath),
                                                       QString::fromLatin1(kInterface), QStringLiteral("OpenURI"));
    // No parent window: the companion has none, and the portal then raises no chooser on a window.
    open << QString() << uri << QVariantMap();
    BusCall call;
    return call.Call(open, timeoutMs);
}

}  // namespace tessarel::browser
