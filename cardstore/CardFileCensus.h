#pragma once
// Before a reader makes a single card it counts the cards a file will give and the list each one
// goes to. The lists are then sized once (no growing and copying of millions of entries), and a
// file whose cards need more memory than the process can get is refused with a message instead of
// driving the machine into the out-of-memory killer.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "CCardFileData.h"
#include "CategoryTable.h"

namespace tessarel {

// Thrown by CardFileCensus::Prepare; the reader turns it into its message.
struct CardFileTooLarge {
    std::uint64_t needed = 0;
    std::uint64_t available = 0;
};

class CardFileCensus {
public:
    static constexpr int kDeletedList = kCategoryCount;
    // What one card costs beside its own text bytes, at most: the card, its list entry, its text
    // block's lengths and date text, and the allocator's headers and rounding.
    static constexpr std::uint64_t kCardCost = 112;

    // One more card for `list` (a category code, or kDeletedList) with this many text bytes.
    void Count(int list, std::size_t textBytes);
    std::size_t Cards() const { return cards; }
    std::uint64_t BytesNeeded() const { return cards * kCardCost + textBytes; }
    // The most any census of `bytes` of records, none smaller than `smallestRecord`, can need:
    // every record the smallest, every byte a text byte.
    static std::uint64_t MostBytesNeeded(std::uint64_t bytes, std::uint64_t smallestRecord) {
        return bytes / smallestRecord * kCardCost + bytes;
    }

    // Refuses (throws CardFileTooLarge) when the cards need more than `available`; otherwise
    // makes room in each list of `doc` for its cards.
    void Prepare(CCardFileData& doc, std::uint64_t available) const;

private:
    std::array<std::size_t, kCategoryCount + 1> perList{};
    std::uint64_t cards = 0;
    std::uint64_t textBytes = 0;
};

// The messages of a file the process cannot hold: with the figures when they are known before
// reading, without them when an allocation failed on the way.
std::string CardFileTooLargeMessage(const CardFileTooLarge& refusal);
std::string CardFileOutOfMemoryMessage();
// A file beyond the size card files are read whole up to.
std::string CardFileBeyondLimitMessage(std::uint64_t limit);

}  // namespace tessarel
