// tessarel-test-portal RECORD [--refuse]: a stand-in for the desktop's OpenURI portal, on the
// session bus the tests start for themselves. It owns org.freedesktop.portal.Desktop, serves
// org.freedesktop.portal.OpenURI on /org/freedesktop/portal/desktop, appends every uri it is
// handed to RECORD (one a line), and prints "ready" once it can be called. With --refuse it
// answers every OpenURI with an error, as a portal does that will not open the address.
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QFile>
#include <QVariantMap>
#include <cstdio>

namespace {

class OpenUriPortal : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.OpenURI")
    Q_PROPERTY(uint version READ version)
public:
    OpenUriPortal(QString recordPath, bool refuseAll) : record(std::move(recordPath)), refuse(refuseAll) {}
    uint version() const { return 4; }

public slots:
    QDBusObjectPath OpenURI(const QString& parentWindow, const QString& uri, const QVariantMap& options) {
        Q_UNUSED(parentWindow);
        Q_UNUSED(options);
        QFile file(record);
        if (file.open(QIODevice::Append)) file.write(uri.toUtf8() + '\n');
        if (refuse) sendErrorReply(QStringLiteral("org.freedesktop.portal.Error.NotAllowed"), QStringLiteral("refused by the test"));
        return QDBusObjectPath(QStringLiteral("/org/freedesktop/portal/desktop/request/1_1/t"));
    }

private:
    QString record;
    bool refuse;
};

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.size() < 2) {
        std::fputs("usage: tessarel-test-portal RECORD [--refuse]\n", stderr);
        return 2;
    }
    OpenUriPortal portal(arguments[1], arguments.contains(QStringLiteral("--refuse")));
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.registerObject(QStringLiteral("/org/freedesktop/portal/desktop"), &portal,
                            QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllProperties) ||
        !bus.registerService(QStringLiteral("org.freedesktop.portal.Desktop"))) {
        std::fprintf(stderr, "tessarel-test-portal: %s\n", qPrintable(bus.lastError().message()));
        return 1;
    }
    std::puts("ready");
    std::fflush(stdout);
    return app.exec();
}

#include "TestPortal.moc"
