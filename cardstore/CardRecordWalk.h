#pragma once
// Walks the plain records of a card file one card at a time, in the order the program saves its
// cards: codes 0 to 14, each in file order, then the deleted cards. The cards and their order are
// those that reading the file into the category lists and walking the lists would give (deleted
// cards whatever their code, others of codes 15 and up dropped), but no card is made.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>

#include "CCard.h"
#include "CardRecordView.h"

namespace tessarel {

// `records` and `slack` as the reader hands them to CCardFileData::takeRecords. Each record comes
// as views into `records`: no card, no copy of a text, no date text.
void WalkRecordViewsInSaveOrder(std::span<const std::uint8_t> records, std::size_t slack,
                                const std::function<void(const CardRecordView&)>& visit);

}  // namespace tessarel
