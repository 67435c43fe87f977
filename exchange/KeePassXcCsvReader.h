#pragma once
// KeePassXC's CSV export: the header "Group","Title","Username","Password","URL","Notes","TOTP",
// "Icon","Last Modified","Created", or the shorter sets of older versions (the first six, with or
// without the later ones). Columns are found by name, so their order does not matter.

#include <string_view>

#include "ImportedCard.h"

namespace tessarel {

ImportRead ReadKeePassXcCsv(std::string_view text);

}  // namespace tessarel
