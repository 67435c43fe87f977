#pragma once
// The freedesktop OpenURI portal over the user's session bus: the one way an address that carries
// a card's user name and password reaches the desktop's browser. A D-Bus message travels over the
// bus's socket, which only this user may connect to; a program's command line and environment
// are readable by every local user (/proc/<pid>/cmdline).
//
//   service org.freedesktop.portal.Desktop, object /org/freedesktop/portal/desktop,
//   interface org.freedesktop.portal.OpenURI, method OpenURI(s parent_window, s uri, a{sv} options)
//
// The bus is the one DBUS_SESSION_BUS_ADDRESS names at the time of the call (else the
// conventional $XDG_RUNTIME_DIR/bus), read afresh each time instead of the address Qt caches for
// its shared session connection.

#include <QString>

namespace tessarel::browser {

class DesktopPortal {
public:
    static constexpr const char* kService = "org.freedesktop.portal.Desktop";
    static constexpr const char* kObjectPath = "/org/freedesktop/portal/desktop";
    static constexpr const char* kInterface = "org.freedesktop.portal.OpenURI";
    // A portal is started on demand by the bus; its first answer may take a moment.
    static constexpr int kTimeoutMs = 5000;

    // Whether a portal with the OpenURI interface answers on the session bus.
    static bool Answers(int timeoutMs = kTimeoutMs);
    // Hands `uri` to the portal; true when it took it (it then opens it in the desktop's browser).
    static bool OpenUri(const QString& uri, int timeoutMs = kTimeoutMs);
    // The session bus address in use; empty when there is none.
    static QString SessionBusAddress();
};

}  // namespace tessarel::browser
