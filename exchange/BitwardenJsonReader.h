#pragma once
// Bitwarden's unencrypted JSON export: {"encrypted": false, "folders": [{"id", "name"}],
// "items": [{"type", "name", "notes", "folderId", "fields", "login" | "secureNote" | "card" |
// "identity", "revisionDate", ...}]}. Logins (type 1) become "WWW Sites" cards (or
// "Miscellaneous" without an address), secure notes (2) "Miscellaneous", cards (3) "Credit Cards",
// identities (4) "Personal Data". An encrypted export is refused: it needs Bitwarden's key.

#include <string_view>

#include "ImportedCard.h"

namespace tessarel {

ImportRead ReadBitwardenJson(std::string_view text);

}  // namespace tessarel
