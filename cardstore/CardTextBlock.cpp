#include "CardTextBlock.h"

#include <cstring>
#include <utility>

#include "core/SecureBuffer.h"

namespace tessarel {
namespace {

std::size_t LengthSize(std::size_t length) {
    std::size_t bytes = 1;
    for (; length >= 0x80; length >>= 7) ++bytes;
    return bytes;
}

std::uint8_t* PutLength(std::uint8_t* at, std::size_t length) {
    for (; length >= 0x80; length >>= 7) *at++ = static_cast<std::uint8_t>(length | 0x80);
    *at++ = static_cast<std::uint8_t>(length);
    return at;
}

const std::uint8_t* TakeLength(const std::uint8_t* at, std::size_t& length) {
    length = 0;
    for (unsigned shift = 0;; shift += 7) {
        const std::uint8_t byte = *at++;
        length |= static_cast<std::size_t>(byte & 0x7F) << shift;
        if ((byte & 0x80) == 0) return at;
    }
}

}  // namespace

std::size_t CardTextBlock::SizeFor(const Texts& texts) {
    std::size_t size = 0;
    bool any = false;
    for (const std::string_view text : texts) {
        size += LengthSize(text.size()) + text.size();
        any = any || !text.empty();
    }
    return any ? size : 0;
}

CardTextBlock::CardTextBlock(const Texts& texts) {
    const std::size_t size = SizeFor(texts);
    if (size == 0) return;
    data = new std::uint8_t[size];
    std::uint8_t* at = data;
    for (const std::string_view text : texts) at = PutLength(at, text.size());
    for (const std::string_view text : texts) {
        if (!text.empty()) std::memcpy(at, text.data(), text.size());
        at += text.size();
    }
}

CardTextBlock::CardTextBlock(const CardTextBlock& other) : CardTextBlock(other.All()) {}

CardTextBlock::CardTextBlock(CardTextBlock&& other) noexcept : data(std::exchange(other.data, nullptr)) {}

CardTextBlock& CardTextBlock::operator=(const CardTextBlock& other) {
    if (this != &other) *this = CardTextBlock(other.All());
    return *this;
}

CardTextBlock& CardTextBlock::operator=(CardTextBlock&& other) noexcept {
    if (this != &other) {
        Release();
        data = std::exchange(other.data, nullptr);
    }
    return *this;
}

CardTextBlock::~CardTextBlock() { Release(); }

CardTextBlock::Texts CardTextBlock::All() const {
    Texts texts{};
    if (!data) return texts;
    std::array<std::size_t, kSlots> lengths{};
    const std::uint8_t* at = data;
    for (std::size_t& length : lengths) at = TakeLength(at, length);
    for (std::size_t i = 0; i < kSlots; ++i) {
        texts[i] = std::string_view(reinterpret_cast<const char*>(at), lengths[i]);
        at += lengths[i];
    }
    return texts;
}

std::string_view CardTextBlock::Get(std::size_t slot) const {
    if (!data || slot >= kSlots) return {};
    const std::uint8_t* at = data;
    std::size_t offset = 0;
    std::size_t wanted = 0;
    for (std::size_t i = 0; i < kSlots; ++i) {
        std::size_t length = 0;
        at = TakeLength(at, length);
        if (i < slot) offset += length;
        if (i == slot) wanted = length;
    }
    return {reinterpret_cast<const char*>(at + offset), wanted};
}

void CardTextBlock::Set(std::size_t slot, std::string_view text) {
    if (slot >= kSlots) return;
    Texts texts = All();
    texts[slot] = text;
    // The new block is complete before the old one (which `text` may point into) goes.
    CardTextBlock replacement(texts);
    std::swap(data, replacement.data);
}

std::size_t CardTextBlock::Size() const { return data ? SizeFor(All()) : 0; }

void CardTextBlock::Release() noexcept {
    if (!data) return;
    SecureWipe(data, Size());
    delete[] data;
    data = nullptr;
}

}  // namespace tessarel
