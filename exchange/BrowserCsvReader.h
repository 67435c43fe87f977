#pragma once
// The saved-logins exports of the two browser families.
//
// Firefox: "url","username","password","httpRealm","formActionOrigin","guid","timeCreated",
// "timeLastUsed","timePasswordChanged" (times in milliseconds since 1970).
// Chrome and Chromium: name,url,username,password and, in newer versions, note.

#include <string_view>

#include "ImportedCard.h"

namespace tessarel {

ImportRead ReadFirefoxCsv(std::string_view text);
ImportRead ReadChromeCsv(std::string_view text);

}  // namespace tessarel
