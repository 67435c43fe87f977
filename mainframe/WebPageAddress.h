#pragma once
// The address Load Web Page hands to the browser for a card. With Automatic Access it carries the
// card's user name and password, but only when the desktop portal answers: the companion browser
// hands such an address to the desktop through the portal alone (D-Bus, private to the user),
// never on a command line that other users can read. Without a portal the page is opened without
// them, and the person is told.

#include <QString>
#include <functional>

#include "core/SecureBuffer.h"

namespace tessarel {

class CCard;

struct WebPageAddress {
    SecureString address;  // card bytes; may hold the password, so wiped when released
    bool credentialsLeftOut = false;

    // `portalAnswers` asks whether the desktop portal answers (DesktopPortal::Answers); it is
    // asked only when there are credentials to hand over.
    static WebPageAddress For(const CCard& card, const std::function<bool()>& portalAnswers);
    // The "Message" window's text when the user name and password were left out.
    static QString LeftOutText();
};

}  // namespace tessarel
