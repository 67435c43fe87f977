#pragma once
// Turns the entries a reader made into cards for a card file, in two steps so the user can see
// what will happen before anything changes: Plan() converts every text to Windows-1252, finds
// what cannot be held and what is already in the file, and counts what would be added;
// ApplyTo() then adds the planned cards.
//
// Text outside Windows-1252 is never changed silently: by default it stops the import with the
// list of cards and fields; the user may instead skip those cards or replace the characters with
// "?", and the plan lists each card so treated. A card counts as already present when its
// category, name, address (second field) and user id (third field) equal those of a card in the
// file before the import. Entries of one source are not compared with each other: two logins of
// the same site and user are the source's own business, and our own export must come back whole.

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "ImportedCard.h"
#include "cardstore/CCardFileData.h"

namespace tessarel {

enum class UnsupportedText { Refuse, Skip, Replace };

struct ImportOptions {
    UnsupportedText unsupported = UnsupportedText::Refuse;
    bool allowDuplicates = false;
    int dateFormat = 0;  // the "Date Format" setting the new cards' date texts are made with
};

class ImportPlan {
public:
    static ImportPlan Make(const std::vector<ImportedCard>& entries, const CCardFileData& target, const ImportOptions& options);

    // True when text outside Windows-1252 was found and the options say refuse: nothing may be added.
    bool Refused() const { return refused; }
    // One line per card and field that holds such text: where, which card, which field, which characters.
    const std::vector<std::string>& UnsupportedText() const { return unsupported; }
    const std::vector<std::string>& Duplicates() const { return duplicates; }
    const std::vector<std::string>& Skipped() const { return skipped; }
    const std::vector<std::string>& Changed() const { return changed; }
    int AddedIn(int code) const { return added[static_cast<std::size_t>(code)]; }
    std::size_t CardCount() const { return cards.size(); }

    // The summary the user sees: cards to add per category, then what is skipped or changed.
    std::vector<std::string> Summary() const;

    // Adds the planned cards to their categories (not when refused). The plan is empty afterwards.
    void ApplyTo(CCardFileData& target);

private:
    bool refused = false;
    std::vector<std::string> unsupported, duplicates, skipped, changed;
    std::array<int, 15> added{};
    std::vector<std::unique_ptr<CCard>> cards;
};

}  // namespace tessarel
