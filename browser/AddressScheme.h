#pragma once
// Which addresses from a card may be handed to a web browser: http, https and ftp only. Any other
// scheme (file:, javascript:, data:, a desktop handler's own scheme) could read local files or
// start a program through the desktop's URL handlers, with the card's text as its argument.

#include <QString>
#include <string_view>

namespace tessarel::browser {

class AddressScheme {
public:
    // The lower-cased scheme of a card's address (8-bit text); empty when it names none.
    static QString Of(std::string_view cardAddress);
    static bool IsOpenable(const QString& scheme);
    // What the program and the companion say when they refuse an address; names the scheme only,
    // since the address itself may carry a password.
    static QString RefusalText(const QString& scheme);
};

}  // namespace tessarel::browser
