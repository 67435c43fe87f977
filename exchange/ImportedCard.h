#pragma once
// One entry of another program's export, already placed in a category, its texts still in UTF-8
// as the source had them. The readers make these; CardImporter turns them into cards.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/SecureBuffer.h"

namespace tessarel {

struct ImportedCard {
    int categoryCode = 0;
    std::array<SecureString, 4> fields;  // the card's four data fields, in the category's order
    SecureString note;                   // line breaks CR LF
    // Seconds since 1 January 1970 UTC of the source's last change, when it has one.
    std::optional<std::int64_t> modifiedUtc;
    std::string origin;  // where the entry sits in the source, for messages: "line 4", "items[2]"
};

// Builds a card's note from the parts an entry brings: the source's group first ("Group: ..."),
// then its own notes, then every value that has no place on a card, labelled. Line breaks become
// CR LF, as card notes keep them.
class ImportNoteBuilder {
public:
    void SetGroup(std::string_view group) { groupText.assign(group); }
    void SetNotes(std::string_view notes) { notesText.assign(notes); }
    // Empty values are left out.
    void AddLabelled(std::string_view label, std::string_view value);
    SecureString Build() const;

private:
    SecureString groupText;
    SecureString notesText;
    std::vector<std::pair<std::string, SecureString>> labelled;
};

// The login fields most exports share. Where the group (after a leading "Root/", the top group of
// KeePassXC) names one of our categories exactly, the card goes there and the group is not noted:
// that is how our own KeePassXC export comes back. Otherwise a login with an address is a
// "WWW Sites" card and one without a "Miscellaneous" card, and the group is kept in the note.
struct LoginEntry {
    SecureString group, title, url, username, password, notes;
    std::vector<std::pair<std::string, SecureString>> extras;  // label, value: go into the note
    std::optional<std::int64_t> modifiedUtc;
    std::string origin;
};
ImportedCard LoginCard(const LoginEntry& entry);

// What a reader makes of a whole source: its cards, or the reason it refuses the source (then no
// cards: a source that is malformed in one place is not half imported).
struct ImportRead {
    std::vector<ImportedCard> cards;
    std::string error;
};

// CR LF, lone CR and lone LF all become CR LF.
SecureString ToCrLf(std::string_view text);

}  // namespace tessarel
