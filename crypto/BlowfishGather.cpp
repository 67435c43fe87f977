#include "BlowfishGather.h"

// The vector sections are compiled for their instructions through GCC's target pragma. Clang
// ignores that pragma (it would need the attribute on every function and lambda), so a clang
// build (the fuzzing build) runs the portable loop, which gives the same bytes.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
#include <immintrin.h>
#define TESSAREL_GATHER 1
#endif

namespace tessarel {

#ifdef TESSAREL_GATHER
namespace {

// Several groups run interleaved, so some groups' gathers are in flight while the others' results
// are combined: a single group waits out the gather latency on every round. Measured here: AVX-512
// gains nothing beyond two groups, AVX2 a fifth more with four. Either way a step is 32 blocks.
constexpr std::size_t kGroups512 = 2;
constexpr std::size_t kGroups256 = 4;

// ---- AVX-512: 16 blocks a group --------------------------------------------------------------
// Only this section is compiled for the wider instructions; Best() decides at run time whether it runs.
#pragma GCC push_options
#pragma GCC target("avx512f,avx512bw")
// GCC 12's gather intrinsics start from a self-initialised "undefined" vector and warn about it.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"

struct Avx512Lanes {
    __m512i a, b;
};

inline __m512i F512(__m512i x, const int* s) {
    // Byte 3 by a shift, bytes 1 and 2 by one shuffle each (zeroing the other bytes), byte 0 by a mask.
    const __m512i byte1 = _mm512_set4_epi32(static_cast<int>(0x8080800Du), static_cast<int>(0x80808009u),
                                            static_cast<int>(0x80808005u), static_cast<int>(0x80808001u));
    const __m512i byte2 = _mm512_set4_epi32(static_cast<int>(0x8080800Eu), static_cast<int>(0x8080800Au),
                                            static_cast<int>(0x80808006u), static_cast<int>(0x80808002u));
    const __m512i i0 = _mm512_srli_epi32(x, 24);
    const __m512i i1 = _mm512_shuffle_epi8(x, byte2);
    const __m512i i2 = _mm512_shuffle_epi8(x, byte1);
    const __m512i i3 = _mm512_and_si512(x, _mm512_set1_epi32(0xFF));
    const __m512i s0 = _mm512_i32gather_epi32(i0, s, 4);
    const __m512i s1 = _mm512_i32gather_epi32(i1, s + 256, 4);
    const __m512i s2 = _mm512_i32gather_epi32(i2, s + 512, 4);
    const __m512i s3 = _mm512_i32gather_epi32(i3, s + 768, 4);
    return _mm512_add_epi32(_mm512_xor_si512(_mm512_add_epi32(s0, s1), s2), s3);
}

template <bool Decrypt>
void Groups512(const std::uint32_t* p, const int* s, std::uint8_t* data) {
    const __m512i evens = _mm512_set_epi32(30, 28, 26, 24, 22, 20, 18, 16, 14, 12, 10, 8, 6, 4, 2, 0);
    const __m512i odds = _mm512_set_epi32(31, 29, 27, 25, 23, 21, 19, 17, 15, 13, 11, 9, 7, 5, 3, 1);
    Avx512Lanes g[kGroups512];
    for (std::size_t k = 0; k < kGroups512; ++k) {
        const __m512i lo = _mm512_loadu_si512(data + 128 * k);
        const __m512i hi = _mm512_loadu_si512(data + 128 * k + 64);
        g[k].a = _mm512_permutex2var_epi32(lo, evens, hi);
        g[k].b = _mm512_permutex2var_epi32(lo, odds, hi);
    }
    auto key = [p](int r) { return _mm512_set1_epi32(static_cast<int>(Decrypt ? p[17 - r] : p[r])); };
    for (auto& x : g) x.a = _mm512_xor_si512(x.a, key(0));
    for (int r = 1; r <= 16; r += 2) {
        const __m512i k1 = key(r), k2 = key(r + 1);
        for (auto& x : g) x.b = _mm512_xor_si512(x.b, _mm512_xor_si512(F512(x.a, s), k1));
        for (auto& x : g) x.a = _mm512_xor_si512(x.a, _mm512_xor_si512(F512(x.b, s), k2));
    }
    for (auto& x : g) x.b = _mm512_xor_si512(x.b, key(17));
    // The halves leave swapped: left = b, right = a.
    const __m512i low = _mm512_set_epi32(23, 7, 22, 6, 21, 5, 20, 4, 19, 3, 18, 2, 17, 1, 16, 0);
    const __m512i high = _mm512_set_epi32(31, 15, 30, 14, 29, 13, 28, 12, 27, 11, 26, 10, 25, 9, 24, 8);
    for (std::size_t k = 0; k < kGroups512; ++k) {
        _mm512_storeu_si512(data + 128 * k, _mm512_permutex2var_epi32(g[k].b, low, g[k].a));
        _mm512_storeu_si512(data + 128 * k + 64, _mm512_permutex2var_epi32(g[k].b, high, g[k].a));
    }
}

template <bool Decrypt>
std::size_t Run512(const std::uint32_t* p, const int* s, std::uint8_t* data,
                                                                std::size_t count) {
    constexpr std::size_t kStep = 16 * kGroups512;
    std::size_t done = 0;
    for (; count - done >= kStep; done += kStep) Groups512<Decrypt>(p, s, data + 8 * done);
    return done;
}

#pragma GCC diagnostic pop
#pragma GCC pop_options

// ---- AVX2: 8 blocks a group ------------------------------------------------------------------

#pragma GCC push_options
#pragma GCC target("avx2")

struct Avx2Lanes {
    __m256i a, b;
};

inline __m256i F256(__m256i x, const int* s) {
    const __m256i byte1 = _mm256_set_epi32(static_cast<int>(0x8080800Du), static_cast<int>(0x80808009u),
                                           static_cast<int>(0x80808005u), static_cast<int>(0x80808001u),
                                           static_cast<int>(0x8080800Du), static_cast<int>(0x80808009u),
                                           static_cast<int>(0x80808005u), static_cast<int>(0x80808001u));
    const __m256i byte2 = _mm256_set_epi32(static_cast<int>(0x8080800Eu), static_cast<int>(0x8080800Au),
                                           static_cast<int>(0x80808006u), static_cast<int>(0x80808002u),
                                           static_cast<int>(0x8080800Eu), static_cast<int>(0x8080800Au),
                                           static_cast<int>(0x80808006u), static_cast<int>(0x80808002u));
    const __m256i i0 = _mm256_srli_epi32(x, 24);
    const __m256i i1 = _mm256_shuffle_epi8(x, byte2);
    const __m256i i2 = _mm256_shuffle_epi8(x, byte1);
    const __m256i i3 = _mm256_and_si256(x, _mm256_set1_epi32(0xFF));
    const __m256i s0 = _mm256_i32gather_epi32(s, i0, 4);
    const __m256i s1 = _mm256_i32gather_epi32(s + 256, i1, 4);
    const __m256i s2 = _mm256_i32gather_epi32(s + 512, i2, 4);
    const __m256i s3 = _mm256_i32gather_epi32(s + 768, i3, 4);
    return _mm256_add_epi32(_mm256_xor_si256(_mm256_add_epi32(s0, s1), s2), s3);
}

template <bool Decrypt>
void Groups256(const std::uint32_t* p, const int* s, std::uint8_t* data) {
    Avx2Lanes g[kGroups256];
    for (std::size_t k = 0; k < kGroups256; ++k) {
        const __m256 lo = _mm256_castsi256_ps(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(data + 64 * k)));
        const __m256 hi = _mm256_castsi256_ps(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(data + 64 * k + 32)));
        // Lanes end up in the order 0 1 4 5 | 2 3 6 7; the unpacks below undo exactly that.
        g[k].a = _mm256_castps_si256(_mm256_shuffle_ps(lo, hi, _MM_SHUFFLE(2, 0, 2, 0)));
        g[k].b = _mm256_castps_si256(_mm256_shuffle_ps(lo, hi, _MM_SHUFFLE(3, 1, 3, 1)));
    }
    auto key = [p](int r) { return _mm256_set1_epi32(static_cast<int>(Decrypt ? p[17 - r] : p[r])); };
    for (auto& x : g) x.a = _mm256_xor_si256(x.a, key(0));
    for (int r = 1; r <= 16; r += 2) {
        const __m256i k1 = key(r), k2 = key(r + 1);
        for (auto& x : g) x.b = _mm256_xor_si256(x.b, _mm256_xor_si256(F256(x.a, s), k1));
        for (auto& x : g) x.a = _mm256_xor_si256(x.a, _mm256_xor_si256(F256(x.b, s), k2));
    }
    for (auto& x : g) x.b = _mm256_xor_si256(x.b, key(17));
    for (std::size_t k = 0; k < kGroups256; ++k) {
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(data + 64 * k), _mm256_unpacklo_epi32(g[k].b, g[k].a));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(data + 64 * k + 32), _mm256_unpackhi_epi32(g[k].b, g[k].a));
    }
}

template <bool Decrypt>
std::size_t Run256(const std::uint32_t* p, const int* s, std::uint8_t* data, std::size_t count) {
    constexpr std::size_t kStep = 8 * kGroups256;
    std::size_t done = 0;
    for (; count - done >= kStep; done += kStep) Groups256<Decrypt>(p, s, data + 8 * done);
    return done;
}

#pragma GCC pop_options

}  // namespace

CBlowfishGather::Kind CBlowfishGather::Best() {
    static const Kind best = [] {
        __builtin_cpu_init();
        if (__builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw")) return Kind::Avx512;
        if (__builtin_cpu_supports("avx2")) return Kind::Avx2;
        return Kind::None;
    }();
    return best;
}

std::size_t CBlowfishGather::Run(Kind kind, const std::uint32_t* p, const std::uint32_t* s, std::uint8_t* buffer,
                                 std::size_t count, bool decrypt) {
    // The gathers take signed 32-bit indexes into the tables; the words are the same bits.
    const int* boxes = reinterpret_cast<const int*>(s);
    switch (kind) {
    case Kind::Avx512:
        return decrypt ? Run512<true>(p, boxes, buffer, count) : Run512<false>(p, boxes, buffer, count);
    case Kind::Avx2:
        return decrypt ? Run256<true>(p, boxes, buffer, count) : Run256<false>(p, boxes, buffer, count);
    case Kind::None:
        break;
    }
    return 0;
}

#else

CBlowfishGather::Kind CBlowfishGather::Best() { return Kind::None; }

std::size_t CBlowfishGather::Run(Kind, const std::uint32_t*, const std::uint32_t*, std::uint8_t*, std::size_t, bool) {
    return 0;
}

#endif

const char* CBlowfishGather::Name(Kind kind) {
    switch (kind) {
    case Kind::Avx512: return "avx512";
    case Kind::Avx2: return "avx2";
    case Kind::None: break;
    }
    return "scalar";
}

}  // namespace tessarel
