#pragma once
// Builds card file bytes straight from the byte layout, independently of the writer under test.

#include <cstdint>
#include <string>
#include <vector>

namespace tessarel::testing {

using Bytes = std::vector<std::uint8_t>;

inline void PutLe32(Bytes& out, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

inline void PutText(Bytes& out, const std::string& text) { out.insert(out.end(), text.begin(), text.end()); }

inline Bytes Header(std::uint8_t bodyKind, std::uint32_t carried = 0, std::uint8_t version = 6) {
    Bytes out = {0, version, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, bodyKind, 0, 0x6C, 0x64, 0x6E, 0x51};
    PutLe32(out, carried);
    return out;
}

struct RawCard {
    std::uint8_t code = 0;
    std::uint8_t recordFlags = 0;
    std::uint8_t status = 0;
    std::uint32_t modified = 0;
    std::uint32_t sync = 0;
    std::string f1, f2, f3, f4, note;
};

inline Bytes Record(const RawCard& card) {
    Bytes out = {card.code, 0, card.recordFlags, card.status};
    PutLe32(out, card.modified);
    PutLe32(out, card.sync);
    PutLe32(out, 0);
    PutLe32(out, 0);
    const std::string block = card.f1 + '\0' + card.f2 + '\0' + card.f3 + '\0' + card.f4 + '\0' + card.note + '\0';
    PutLe32(out, static_cast<std::uint32_t>(block.size()));
    PutText(out, block);
    return out;
}

inline Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const auto& part : parts) out.insert(out.end(), part.begin(), part.end());
    return out;
}

}  // namespace tessarel::testing
