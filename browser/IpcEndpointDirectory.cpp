#include "browser/IpcEndpointDirectory.h"

#include <QDir>
#include <QFile>
#include <QtGlobal>

#include "browser/IpcFrame.h"

#if defined(__unix__) || defined(__APPLE__)
#include <cerrno>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#endif

namespace tessarel::browser {
namespace {

constexpr const char* FolderName = "tessarel-ipc";

#if defined(__unix__) || defined(__APPLE__)
// A real folder (not a link) owned by this user that no one else may enter or list.
bool IsPrivateFolder(const QByteArray& path) {
    struct stat info {};
    if (::lstat(path.constData(), &info) != 0) return false;
    return S_ISDIR(info.st_mode) && info.st_uid == ::geteuid() && (info.st_mode & 077) == 0;
}
#endif

}  // namespace

QString IpcEndpointDirectory::CacheHome() {
    // The freedesktop rule: XDG_CACHE_HOME when it is an absolute path, else ~/.cache.
    const QString cache = QFile::decodeName(qgetenv("XDG_CACHE_HOME"));
    if (cache.startsWith(QLatin1Char('/'))) return cache;
    const QString home = QDir::homePath();
    if (home.isEmpty() || home == QDir::rootPath()) return {};
    return home + QStringLiteral("/.cache");
}

bool IpcEndpointDirectory::EnsurePrivateFolder(const QString& path) {
#if defined(__unix__) || defined(__APPLE__)
    const QByteArray native = QFile::encodeName(path);
    if (::mkdir(native.constData(), 0700) != 0 && errno != EEXIST) return false;
    struct stat info {};
    if (::lstat(native.constData(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != ::geteuid())
        return false;
    // Our own folder with loose permissions (an old umask, a copy): tighten it rather than give up.
    if ((info.st_mode & 077) != 0 && ::chmod(native.constData(), 0700) != 0) return false;
    return IsPrivateFolder(native);
#else
    return QDir().mkpath(path);
#endif
}

std::optional<QString> IpcEndpointDirectory::Locate() {
    QString base;
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
#if defined(__unix__) || defined(__APPLE__)
    if (!runtime.isEmpty() && runtime.startsWith('/') && IsPrivateFolder(runtime)) base = QFile::decodeName(runtime);
    // No runtime directory fit for use: the user's own cache home, never a name in the shared
    // temporary folder that another user could create first. The endpoint folder below is checked
    // to be ours and private either way.
    if (base.isEmpty()) base = CacheHome();
    if (base.isEmpty() || !QDir().mkpath(base)) return std::nullopt;
#else
    base = runtime.isEmpty() ? CacheHome() : QFile::decodeName(runtime);
#endif
    const QString folder = base + QLatin1Char('/') + QLatin1String(FolderName);
    if (!EnsurePrivateFolder(folder)) return std::nullopt;
    return folder;
}

QString IpcEndpointDirectory::EndpointPath(const QString& directory, const QString& service) {
    const QByteArray name = service.toLower().toUtf8();
    if (name.isEmpty() || name.size() > IpcFrame::MaxNameSize) return {};
    QByteArray encoded;
    for (const char c : name) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_' || c == '.';
        if (plain) {
            encoded.append(c);
        } else {
            encoded.append('%');
            encoded.append(QByteArray::number(static_cast<unsigned char>(c), 16).rightJustified(2, '0').toUpper());
        }
    }
    const QString path = directory + QLatin1Char('/') + QString::fromLatin1(encoded) + QStringLiteral(".sock");
    if (QFile::encodeName(path).size() > MaxEndpointPathSize()) return {};
    return path;
}

int IpcEndpointDirectory::MaxEndpointPathSize() {
#if defined(__unix__) || defined(__APPLE__)
    return static_cast<int>(sizeof(sockaddr_un::sun_path)) - 1;
#else
    return 255;
#endif
}

}  // namespace tessarel::browser
