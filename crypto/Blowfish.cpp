#include "Blowfish.h"

#include <bit>
#include <cstring>

#include "BlowfishGather.h"
#include "core/SecureBuffer.h"

namespace tessarel {
namespace {

#include "BlowfishTables.inc"

[[maybe_unused]] inline std::uint32_t Swap(std::uint32_t v) {
    return (v >> 24) | ((v >> 8) & 0xFF00u) | ((v << 8) & 0xFF0000u) | (v << 24);
}

inline std::uint32_t LoadLittle(const std::uint8_t* bytes) {
    std::uint32_t value;
    std::memcpy(&value, bytes, 4);
    if constexpr (std::endian::native == std::endian::big) value = Swap(value);
    return value;
}

inline void StoreLittle(std::uint8_t* bytes, std::uint32_t value) {
    if constexpr (std::endian::native == std::endian::big) value = Swap(value);
    std::memcpy(bytes, &value, 4);
}

struct Tables {
    const std::uint32_t* p;
    const std::uint32_t (*s)[256];

    inline std::uint32_t F(std::uint32_t x) const {
        return ((s[0][x >> 24] + s[1][(x >> 16) & 0xFF]) ^ s[2][(x >> 8) & 0xFF]) + s[3][x & 0xFF];
    }
};

// One Feistel step over N independent blocks. Electronic code book lets several blocks run side
// by side, which keeps the processor's load units busy while one block waits on its lookups.
template <std::size_t N>
inline void Step(const Tables& t, std::uint32_t (&to)[N], const std::uint32_t (&from)[N], std::uint32_t key) {
    for (std::size_t i = 0; i < N; ++i) to[i] ^= t.F(from[i]) ^ key;
}

// The sixteen rounds, unrolled. `k` lists the P words in the order this direction uses them.
template <std::size_t N, bool Decrypt>
inline void Rounds(const Tables& t, std::uint32_t (&a)[N], std::uint32_t (&b)[N]) {
    const std::uint32_t* p = t.p;
    auto key = [p](int k) { return Decrypt ? p[17 - k] : p[k]; };
    for (std::size_t i = 0; i < N; ++i) a[i] ^= key(0);
    Step(t, b, a, key(1));  Step(t, a, b, key(2));
    Step(t, b, a, key(3));  Step(t, a, b, key(4));
    Step(t, b, a, key(5));  Step(t, a, b, key(6));
    Step(t, b, a, key(7));  Step(t, a, b, key(8));
    Step(t, b, a, key(9));  Step(t, a, b, key(10));
    Step(t, b, a, key(11)); Step(t, a, b, key(12));
    Step(t, b, a, key(13)); Step(t, a, b, key(14));
    Step(t, b, a, key(15)); Step(t, a, b, key(16));
    for (std::size_t i = 0; i < N; ++i) b[i] ^= key(17);
}

// On return the halves are swapped back: left = b, right = a.
template <std::size_t N, bool Decrypt>
inline void Blocks(const Tables& t, std::uint8_t* data) {
    std::uint32_t a[N], b[N];
    for (std::size_t i = 0; i < N; ++i) {
        a[i] = LoadLittle(data + 8 * i);
        b[i] = LoadLittle(data + 8 * i + 4);
    }
    Rounds<N, Decrypt>(t, a, b);
    for (std::size_t i = 0; i < N; ++i) {
        StoreLittle(data + 8 * i, b[i]);
        StoreLittle(data + 8 * i + 4, a[i]);
    }
}

template <bool Decrypt>
void Run(const Tables& t, std::uint8_t* buffer, std::uint32_t count) {
    constexpr std::uint32_t kLanes = 8;
    std::uint32_t done = 0;
    for (; count - done >= kLanes; done += kLanes) Blocks<kLanes, Decrypt>(t, buffer + 8ull * done);
    for (; done < count; ++done) Blocks<1, Decrypt>(t, buffer + 8ull * done);
}

}  // namespace

Blowfish::~Blowfish() {
    SecureWipe(p, sizeof p);
    SecureWipe(s, sizeof s);
}

int Blowfish::BlowfishSetKey(const std::uint8_t* key, std::size_t keyLength, bool zeroTables) {
    if (key == nullptr || keyLength == 0) return -1;
    if (zeroTables) {
        std::memset(p, 0, sizeof p);
        std::memset(s, 0, sizeof s);
    } else {
        std::memcpy(p, kInitialP, sizeof p);
        std::memcpy(s, kInitialS, sizeof s);
    }
    std::size_t j = 0;
    for (auto& word : p) {
        std::uint32_t data = 0;
        for (int k = 0; k < 4; ++k) {
            data = (data << 8) | key[j];
            j = (j + 1) % keyLength;
        }
        word ^= data;
    }
    std::uint32_t left = 0, right = 0;
    for (int i = 0; i < 18; i += 2) {
        BlowfishEncipher(&left, &right);
        p[i] = left;
        p[i + 1] = right;
    }
    for (auto& box : s) {
        for (int i = 0; i < 256; i += 2) {
            BlowfishEncipher(&left, &right);
            box[i] = left;
            box[i + 1] = right;
        }
    }
    return 0;
}

void Blowfish::BlowfishEncipher(std::uint32_t* left, std::uint32_t* right) const {
    const Tables t{p, s};
    std::uint32_t a[1] = {*left}, b[1] = {*right};
    Rounds<1, false>(t, a, b);
    *left = b[0];
    *right = a[0];
}

void Blowfish::BlowfishDecipher(std::uint32_t* left, std::uint32_t* right) const {
    const Tables t{p, s};
    std::uint32_t a[1] = {*left}, b[1] = {*right};
    Rounds<1, true>(t, a, b);
    *left = b[0];
    *right = a[0];
}

// The vector variant takes the whole groups; the scalar loop the few blocks left over.
void Blowfish::EncryptBlocks(std::uint8_t* buffer, std::uint32_t count) const {
    const auto done = static_cast<std::uint32_t>(CBlowfishGather::Run(CBlowfishGather::Best(), p, s[0], buffer, count, false));
    Run<false>(Tables{p, s}, buffer + 8ull * done, count - done);
}

void Blowfish::DecryptBlocks(std::uint8_t* buffer, std::uint32_t count) const {
    const auto done = static_cast<std::uint32_t>(CBlowfishGather::Run(CBlowfishGather::Best(), p, s[0], buffer, count, true));
    Run<true>(Tables{p, s}, buffer + 8ull * done, count - done);
}

void Blowfish::EncryptBlocksPortable(std::uint8_t* buffer, std::uint32_t count) const { Run<false>(Tables{p, s}, buffer, count); }

void Blowfish::DecryptBlocksPortable(std::uint8_t* buffer, std::uint32_t count) const { Run<true>(Tables{p, s}, buffer, count); }

void Blowfish::EncryptBlocksWith(CBlowfishGather::Kind kind, std::uint8_t* buffer, std::uint32_t count) const {
    const auto done = static_cast<std::uint32_t>(CBlowfishGather::Run(kind, p, s[0], buffer, count, false));
    Run<false>(Tables{p, s}, buffer + 8ull * done, count - done);
}

void Blowfish::DecryptBlocksWith(CBlowfishGather::Kind kind, std::uint8_t* buffer, std::uint32_t count) const {
    const auto done = static_cast<std::uint32_t>(CBlowfishGather::Run(kind, p, s[0], buffer, count, true));
    Run<true>(Tables{p, s}, buffer + 8ull * done, count - done);
}

}  // namespace tessarel
