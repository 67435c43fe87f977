#pragma once
// Cards as KeePassXC's own CSV export lays them out, so its CSV import maps every column by
// itself: "Group","Title","Username","Password","URL","Notes","TOTP","Icon","Last Modified",
// "Created". The group is "Root/" and the category name; Title, URL, Username and Password take
// the first, second, third and fourth field whatever the category calls them, so our own
// KeePassXC import puts every card back where it was. Deleted cards are not written.

#include "cardstore/CCardFileData.h"
#include "core/SecureBuffer.h"

namespace tessarel {

// UTF-8, every field quoted, rows ended by LF as KeePassXC writes them; note line breaks are LF.
SecureString WriteKeePassXcCsv(const CCardFileData& data);

}  // namespace tessarel
