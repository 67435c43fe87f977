#pragma once
// Where the IPC endpoints live: a folder only this user can enter, inside the user's runtime
// directory (XDG_RUNTIME_DIR), or, when there is none fit for use (missing, not absolute, not a
// folder of this user that only this user may enter), inside the user's cache home.

#include <QString>
#include <optional>

namespace tessarel::browser {

class IpcEndpointDirectory {
public:
    // The endpoint folder, created when missing; nullopt when no private folder can be had (a
    // folder of another user or one others can enter is never used).
    static std::optional<QString> Locate();

    // The endpoint path for a service name. Names compare without regard to case, so the path is
    // made from the lower-cased name; bytes other than letters, digits, '-', '_' and '.' are
    // written as %XX so no name can climb out of the folder. Empty when the name is unusable.
    static QString EndpointPath(const QString& directory, const QString& service);

    // The longest endpoint path a local socket address can hold on this platform.
    static int MaxEndpointPathSize();

private:
    static QString CacheHome();
    static bool EnsurePrivateFolder(const QString& path);
};

}  // namespace tessarel::browser
