// Where the endpoints live: a folder only this user can enter, endpoints named by the lower-cased
// service name, owner-only sockets, and endpoints left behind by a crashed server taken over.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include "browser/IpcEndpointDirectory.h"
#include "browser/IpcInstance.h"

namespace tessarel::browser {
namespace {

mode_t ModeOf(const QString& path) {
    struct stat info {};
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0) return 0;
    return info.st_mode & 07777;
}

// Sets an environment variable for one test and puts the old value back afterwards.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* variable, const QByteArray* value)
        : name(variable), had(qEnvironmentVariableIsSet(variable)), old(qgetenv(variable)) {
        if (value) qputenv(name, *value);
        else qunsetenv(name);
    }
    ~ScopedEnvironment() {
        if (had) qputenv(name, old);
        else qunsetenv(name);
    }

private:
    const char* name;
    bool had;
    QByteArray old;
};

TEST(IpcEndpointDirectoryTest, EndpointNamesIgnoreCaseAndCannotLeaveTheFolder) {
    const QString dir = QStringLiteral("/run/x");
    EXPECT_EQ(IpcEndpointDirectory::EndpointPath(dir, QStringLiteral("Netscape")), "/run/x/netscape.sock");
    EXPECT_EQ(IpcEndpointDirectory::EndpointPath(dir, QStringLiteral("IEXPLORE")),
              IpcEndpointDirectory::EndpointPath(dir, QStringLiteral("Iexplore")));
    EXPECT_EQ(IpcEndpointDirectory::EndpointPath(dir, QStringLiteral("../a b")), "/run/x/..%2Fa%20b.sock");
    EXPECT_EQ(IpcEndpointDirectory::EndpointPath(dir, QString()), "");
    EXPECT_EQ(IpcEndpointDirectory::EndpointPath(dir, QString(300, QLatin1Char('a'))), "");  // too long a name
    EXPECT_EQ(IpcEndpointDirectory::EndpointPath(dir, QString(100, QLatin1Char('a'))), "");  // too long a path
}

TEST(IpcEndpointDirectoryTest, LivesInTheRuntimeDirectoryWithOwnerOnlySockets) {
    IpcInstance instance(nullptr);
    ASSERT_TRUE(instance.IsValid());
    EXPECT_EQ(instance.Directory(), QString::fromLocal8Bit(qgetenv("XDG_RUNTIME_DIR")) + "/tessarel-ipc");
    EXPECT_EQ(ModeOf(instance.Directory()), 0700u);
    ASSERT_TRUE(instance.RegisterName(QStringLiteral("Quendal900")));
    const QString socket = IpcEndpointDirectory::EndpointPath(instance.Directory(), QStringLiteral("Quendal900"));
    EXPECT_EQ(ModeOf(socket) & 077, 0u);
    EXPECT_TRUE(instance.UnregisterName(QStringLiteral("quendal900")));
    EXPECT_FALSE(QFileInfo::exists(socket));
}

// Without a runtime directory fit for use the endpoints live in a private folder of the user's
// cache home: XDG_CACHE_HOME, or ~/.cache when that is unset or not absolute. Never the shared
// temporary folder, where another user could create the name first.
TEST(IpcEndpointDirectoryTest, FallsBackToThePrivateCacheHomeWhenTheRuntimeDirectoryIsUnfit) {
    QTemporaryDir temp;
    const QByteArray tempPath = QFile::encodeName(temp.path());
    ScopedEnvironment tmpdir("TMPDIR", &tempPath);
    QTemporaryDir cache;
    const QByteArray cachePath = QFile::encodeName(cache.path() + "/cache");  // made when missing
    ScopedEnvironment cacheHome("XDG_CACHE_HOME", &cachePath);
    const QString fallback = cache.path() + "/cache/tessarel-ipc";

    QTemporaryDir open, others, missing;
    ::chmod(QFile::encodeName(open.path()).constData(), 0755);  // others may enter: not private
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chown(QFile::encodeName(others.path()).constData(), 65534, 65534), 0);
    }
    const QByteArray openPath = QFile::encodeName(open.path());
    const QByteArray othersPath = QFile::encodeName(others.path());
    const QByteArray missingPath = QFile::encodeName(missing.path() + "/gone");
    const QByteArray relativePath = "run/user";
    struct Case {
        const char* name;
        const QByteArray* runtime;
    };
    const Case cases[] = {{"unset", nullptr},         {"open to others", &openPath},  {"missing", &missingPath},
                          {"relative", &relativePath}, {"another user's", &othersPath}};
    for (const Case& c : cases) {
        if (c.runtime == &othersPath && !root) continue;  // only root can hand a folder to another user
        ScopedEnvironment xdg("XDG_RUNTIME_DIR", c.runtime);
        const auto found = IpcEndpointDirectory::Locate();
        ASSERT_TRUE(found.has_value()) << c.name;
        EXPECT_EQ(*found, fallback) << c.name;
        EXPECT_EQ(ModeOf(*found), 0700u) << c.name;
        EXPECT_TRUE(QDir(temp.path()).entryList({"tessarel*"}, QDir::AllEntries | QDir::System).isEmpty()) << c.name;
    }

    ScopedEnvironment xdg("XDG_RUNTIME_DIR", nullptr);
    {  // No usable XDG_CACHE_HOME: ~/.cache.
        const QByteArray relative = "cache";
        ScopedEnvironment relativeCache("XDG_CACHE_HOME", &relative);
        const QByteArray home = QFile::encodeName(cache.path() + "/home");
        ScopedEnvironment homeDir("HOME", &home);
        EXPECT_EQ(IpcEndpointDirectory::Locate(), std::optional<QString>(cache.path() + "/home/.cache/tessarel-ipc"));
    }

    // Our own folder with loose permissions is tightened; a link in its place is never used, nor
    // is a folder of another user.
    ::chmod(QFile::encodeName(fallback).constData(), 0777);
    EXPECT_TRUE(IpcEndpointDirectory::Locate().has_value());
    EXPECT_EQ(ModeOf(fallback), 0700u);
    QDir(fallback).removeRecursively();
    ASSERT_TRUE(QFile::link(open.path(), fallback));
    EXPECT_FALSE(IpcEndpointDirectory::Locate().has_value());
    EXPECT_FALSE(IpcInstance(nullptr).IsValid());
    if (root) {
        QFile::remove(fallback);
        ASSERT_TRUE(QDir().mkdir(fallback));
        ::chmod(QFile::encodeName(fallback).constData(), 0700);
        ASSERT_EQ(::chown(QFile::encodeName(fallback).constData(), 65534, 65534), 0);
        EXPECT_FALSE(IpcEndpointDirectory::Locate().has_value());
    }
}

TEST(IpcEndpointDirectoryTest, AnEndpointLeftByACrashedServerIsTakenOver) {
    IpcInstance instance(nullptr);
    const QString path = IpcEndpointDirectory::EndpointPath(instance.Directory(), QStringLiteral("Crashed"));
    // A bound socket whose process is gone: the file stays, no one listens.
    const int descriptor = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray native = QFile::encodeName(path);
    std::copy(native.begin(), native.end(), address.sun_path);
    ASSERT_EQ(::bind(descriptor, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ::close(descriptor);
    ASSERT_TRUE(QFileInfo::exists(path));

    EXPECT_TRUE(instance.RegisterName(QStringLiteral("Crashed")));
    IpcInstance client(nullptr);
    const ConversationHandle conversation = client.Connect(QStringLiteral("crashed"), QStringLiteral("WWW_Version"));
    EXPECT_EQ(conversation, 0u);  // reached, but our instance has no handler and refuses
    EXPECT_EQ(client.LastError(), IpcError::NoConvEstablished);
}

}  // namespace
}  // namespace tessarel::browser
