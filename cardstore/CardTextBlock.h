#pragma once
// The seven texts of one card in a single allocation. A card file may hold millions of cards, and
// seven strings of their own would cost each card more than 200 bytes before it holds a single
// character; here a card whose texts are all empty costs nothing, and any other one allocation
// the size of its texts. The bytes are wiped before they are released.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace tessarel {

class CardTextBlock {
public:
    static constexpr std::size_t kSlots = 7;
    using Texts = std::array<std::string_view, kSlots>;

    CardTextBlock() noexcept = default;
    explicit CardTextBlock(const Texts& texts);
    CardTextBlock(const CardTextBlock& other);
    CardTextBlock(CardTextBlock&& other) noexcept;
    CardTextBlock& operator=(const CardTextBlock& other);
    CardTextBlock& operator=(CardTextBlock&& other) noexcept;
    ~CardTextBlock();

    // The text of a slot; valid until the block next changes.
    std::string_view Get(std::size_t slot) const;
    Texts All() const;
    // Replaces one text and keeps the others. `text` may point into this block.
    void Set(std::size_t slot, std::string_view text);

    // Bytes the block holds (0 when every text is empty), and what one of `texts` would hold.
    std::size_t Size() const;
    static std::size_t SizeFor(const Texts& texts);

    // Asks the processor for the block's first lines ahead of a walk that reads them (each line
    // missed is a wait of its own). A prefetch past the end of the allocation is harmless: it
    // never faults.
    void Prefetch() const noexcept {
#if defined(__GNUC__) || defined(__clang__)
        if (!data) return;
        __builtin_prefetch(data);
        __builtin_prefetch(data + 64);
        __builtin_prefetch(data + 128);
#endif
    }

private:
    void Release() noexcept;

    // The seven lengths (7 bits a byte, low bits first), then the seven texts' bytes one after the
    // other; null when all are empty. The lengths come first so that sizing a card (a writer sizes
    // every card before it puts any) reads the block's first line only, not all of its texts.
    std::uint8_t* data = nullptr;
};

}  // namespace tessarel
