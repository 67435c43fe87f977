#pragma once
// The fixed key and header the sealed-file fuzz target and its seeds share. The key derivation is
// left out on purpose: it costs up to a second per input, and what it feeds (the unsealing and
// the record reader behind it) is reached directly with this key.

#include <cstring>

#include "cardstore/GuardedBuffer.h"
#include "cardstore/SealedHeader.h"

namespace tessarel::fuzz {

inline void FillFuzzKey(GuardedBuffer& key) { std::memset(key.Data(), 0x42, key.Size()); }

inline SealedHeader FuzzSealedHeader() {
    SealedHeader header;
    header.parameters = {1, 8};
    header.carried = 7;
    header.salt.fill(0x11);
    header.nonce.fill(0x22);
    return header;
}

}  // namespace tessarel::fuzz
