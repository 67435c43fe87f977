#pragma once
// The address Load Web Page sends when a card has Automatic Access on: the card's user id and
// password written into the address's user information, so the site logs the person in.
//
//   scheme "://" user ":" password "@" host-and-path
//
// The scheme is the one the address names itself ("ftp://host" stays ftp); an address without
// one is a web address and gets "http://". User id and password are percent-encoded (their
// characters as UTF-8), so a password holding "@", ":", "/", "#" or "%" cannot change where the
// address leads. User information already in the address is replaced. Everything is built in
// storage that is wiped when released, since the result holds the password in clear.

#include <string_view>

#include "core/SecureBuffer.h"

namespace tessarel::browser {

// `address`, `userId` and `password` are card bytes (Windows-1252); the result too, and it is
// plain ASCII in its user information. With both user id and password empty the address only
// gets its scheme.
SecureString AutomaticAccessAddress(std::string_view address, std::string_view userId, std::string_view password);

// Percent-encodes everything but the unreserved characters (letters, digits, "-", ".", "_",
// "~"); card bytes are taken as Windows-1252 and encoded as UTF-8.
SecureString PercentEncodeUserInfo(std::string_view cardBytes);

// Where the host part of an address starts: after "scheme://" when it names a scheme, else 0.
std::size_t SchemePrefixLength(std::string_view address);

}  // namespace tessarel::browser
