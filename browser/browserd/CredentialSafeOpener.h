#pragma once
// How the companion hands an address to the desktop without putting a password on a command
// line. An address with user information (Automatic Access writes the card's user name and
// password there) goes only to the desktop portal (DesktopPortal: D-Bus, private to the user);
// when no portal takes it, it is opened without its user information through the plain opener
// (xdg-open or TESSAREL_BROWSERD_OPENER, whose command line every local user can read), and
// `onLeftOut` is told. An address without user information goes to the plain opener as before.

#include <QString>
#include <functional>

#include "browser/browserd/BrowserCompanion.h"

namespace tessarel::browser {

class CredentialSafeOpener {
public:
    CredentialSafeOpener(BrowserCompanion::Opener plain, BrowserCompanion::Opener portal,
                         std::function<void(const QString& message)> onLeftOut);

    bool operator()(const QString& address) const;

    static bool HasUserInfo(const QString& address);
    // What the companion reports when it left the user name and password out.
    static QString LeftOutText();

private:
    BrowserCompanion::Opener plain;
    BrowserCompanion::Opener portal;
    std::function<void(const QString&)> onLeftOut;
};

}  // namespace tessarel::browser
