#pragma once
// One card's numbers and texts without a card object: string views into the plain records of a
// file (or into a card). A walk that only reads each card once (an export) needs no copy of the
// texts, no date text and no allocation per card.

#include <array>
#include <cstdint>
#include <string_view>

#include "CCard.h"

namespace tessarel {

struct CardRecordView {
    std::uint8_t categoryCode = 0;
    std::uint8_t recordFlags = 0;
    std::uint8_t statusFlags = 0;
    std::uint32_t modified = 0;
    std::uint32_t syncValue = 0;
    // Field texts 1 to 4 and the note, Windows-1252 bytes as on file.
    std::array<std::string_view, 5> texts{};

    bool IsDeleted() const { return (statusFlags & CCard::kDeletedFlag) != 0; }

    // The view of a card in memory; valid while the card is and its texts stay as they are.
    static CardRecordView Of(const CCard& card) {
        CardRecordView view;
        view.categoryCode = card.GetCategoryCode();
        view.recordFlags = card.GetRecordFlags();
        view.statusFlags = card.GetStatusFlags();
        view.modified = card.GetModified();
        view.syncValue = card.GetSyncValue();
        view.texts = {card.GetFieldText1(), card.GetFieldText2(), card.GetFieldText3(), card.GetFieldText4(), card.GetNote()};
        return view;
    }
};

}  // namespace tessarel
