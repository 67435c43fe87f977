#pragma once
// Walks the plain records of a card file one card at a time, in the order the program saves its
// cards: codes 0 to 14, each in file order, then the deleted cards. The cards and their order are
// those that reading the file into the category lists and walking the lists would give (deleted
// cards whatever their code, others of codes 15 and up dropped), but only one card is ever made.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>

#include "CCard.h"

namespace tessarel {

// `records` and `slack` as the reader hands them to CCardFileData::takeRecords. The card given to
// `visit` is reused for the next one; its texts are wiped when the walk ends.
void WalkRecordsInSaveOrder(std::span<const std::uint8_t> records, std::size_t slack, int dateFormat,
                            const std::function<void(const CCard&)>& visit);

}  // namespace tessarel
