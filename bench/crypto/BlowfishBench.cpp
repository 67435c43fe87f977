// Blowfish over a 64 MiB buffer: ours beside libcrypto, nettle and libgcrypt in the same run.
// The libraries read each 4-byte half big-endian; the setup checks once that, with the halves
// byte-swapped, all four produce the same ciphertext, then each runs in its own byte order.

#include <benchmark/benchmark.h>
#include <gcrypt.h>
#include <nettle/blowfish.h>
#include <openssl/blowfish.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <random>
#include <stdexcept>
#include <vector>

#include "crypto/Blowfish.h"

namespace {

constexpr std::size_t kBufferSize = 64u << 20;
const std::uint8_t kKey[16] = {'b', 'e', 'n', 'c', 'h', 'm', 'a', 'r', 'k', ' ', 'k', 'e', 'y', '!', '1', '6'};

std::vector<std::uint8_t> RandomBuffer(std::size_t size) {
    std::vector<std::uint8_t> out(size);
    std::mt19937_64 random(42);
    for (std::size_t i = 0; i < size; i += 8) {
        const std::uint64_t value = random();
        std::memcpy(out.data() + i, &value, 8);
    }
    return out;
}

void SwapHalves(std::uint8_t* data, std::size_t size) {
    for (std::size_t i = 0; i < size; i += 4) {
        std::swap(data[i], data[i + 3]);
        std::swap(data[i + 1], data[i + 2]);
    }
}

struct Engines {
    tessarel::Blowfish ours;
    BF_KEY openssl;
    blowfish_ctx nettle;
    gcry_cipher_hd_t gcrypt = nullptr;

    Engines() {
        ours.BlowfishSetKey(kKey, sizeof kKey);
        BF_set_key(&openssl, sizeof kKey, kKey);
        blowfish_set_key(&nettle, sizeof kKey, kKey);
        if (!gcry_check_version(GCRYPT_VERSION)) throw std::runtime_error("libgcrypt version");
        gcry_control(GCRYCTL_DISABLE_SECMEM, 0);
        gcry_control(GCRYCTL_INITIALIZATION_FINISHED, 0);
        gcry_cipher_open(&gcrypt, GCRY_CIPHER_BLOWFISH, GCRY_CIPHER_MODE_ECB, 0);
        gcry_cipher_setkey(gcrypt, kKey, sizeof kKey);
        CheckAgreement();
    }

    void OpenSslEncrypt(std::uint8_t* data, std::size_t size) {
        for (std::size_t i = 0; i < size; i += 8) BF_ecb_encrypt(data + i, data + i, &openssl, BF_ENCRYPT);
    }
    void OpenSslDecrypt(std::uint8_t* data, std::size_t size) {
        for (std::size_t i = 0; i < size; i += 8) BF_ecb_encrypt(data + i, data + i, &openssl, BF_DECRYPT);
    }

    // The four ciphers agree once the byte order of the halves is accounted for.
    void CheckAgreement() {
        const auto plain = RandomBuffer(8 * 1024);
        auto mine = plain;
        ours.EncryptBlocks(mine.data(), static_cast<std::uint32_t>(mine.size() / 8));
        auto reference = [&](auto&& encrypt) {
            auto data = plain;
            SwapHalves(data.data(), data.size());
            encrypt(data.data(), data.size());
            SwapHalves(data.data(), data.size());
            if (data != mine) throw std::runtime_error("Blowfish implementations disagree");
        };
        reference([&](std::uint8_t* d, std::size_t n) { OpenSslEncrypt(d, n); });
        reference([&](std::uint8_t* d, std::size_t n) { blowfish_encrypt(&nettle, n, d, d); });
        reference([&](std::uint8_t* d, std::size_t n) { gcry_cipher_encrypt(gcrypt, d, n, nullptr, 0); });
    }
};

Engines& Shared() {
    static Engines engines;
    return engines;
}

template <class Run>
void Measure(benchmark::State& state, Run run) {
    auto buffer = RandomBuffer(kBufferSize);
    for (auto _ : state) {
        run(buffer.data(), buffer.size());
        benchmark::DoNotOptimize(buffer.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(kBufferSize));
}

void Tessarel_Encrypt(benchmark::State& s) {
    Measure(s, [](std::uint8_t* d, std::size_t n) { Shared().ours.EncryptBlocks(d, static_cast<std::uint32_t>(n / 8)); });
}
void Tessarel_Decrypt(benchmark::State& s) {
    Measure(s, [](std::uint8_t* d, std::size_t n) { Shared().ours.DecryptBlocks(d, static_cast<std::uint32_t>(n / 8)); });
}
// The portable scalar loop (eight blocks interleaved) the vector variants must beat, and each
// variant this processor runs, forced.
void Tessarel_Portable_Encrypt(benchmark::State& s) {
    Measure(s, [](std::uint8_t* d, std::size_t n) { Shared().ours.EncryptBlocksPortable(d, static_cast<std::uint32_t>(n / 8)); });
}
void Tessarel_Portable_Decrypt(benchmark::State& s) {
    Measure(s, [](std::uint8_t* d, std::size_t n) { Shared().ours.DecryptBlocksPortable(d, static_cast<std::uint32_t>(n / 8)); });
}
void Tessarel_Variant_Encrypt(benchmark::State& s, tessarel::CBlowfishGather::Kind kind) {
    // The kinds are ordered: a processor with the wider one runs the narrower too.
    if (static_cast<int>(kind) > static_cast<int>(tessarel::CBlowfishGather::Best())) {
        s.SkipWithError("this processor lacks the instructions");
        return;
    }
    s.SetLabel(tessarel::CBlowfishGather::Name(kind));
    Measure(s, [kind](std::uint8_t* d, std::size_t n) { Shared().ours.EncryptBlocksWith(kind, d, static_cast<std::uint32_t>(n / 8)); });
}
void OpenSSL_Encrypt(benchmark::State& s) { Measure(s, [](std::uint8_t* d, std::size_t n) { Shared().OpenSslEncrypt(d, n); }); }
void OpenSSL_Decrypt(benchmark::State& s) { Measure(s, [](std::uint8_t* d, std::size_t n) { Shared().OpenSslDecrypt(d, n); }); }
void Nettle_Encrypt(benchmark::State& s) { Measure(s, [](std::uint8_t* d, std::size_t n) { blowfish_encrypt(&Shared().nettle, n, d, d); }); }
void Nettle_Decrypt(benchmark::State& s) { Measure(s, [](std::uint8_t* d, std::size_t n) { blowfish_decrypt(&Shared().nettle, n, d, d); }); }
void Gcrypt_Encrypt(benchmark::State& s) {
    Measure(s, [](std::uint8_t* d, std::size_t n) { gcry_cipher_encrypt(Shared().gcrypt, d, n, nullptr, 0); });
}
void Gcrypt_Decrypt(benchmark::State& s) {
    Measure(s, [](std::uint8_t* d, std::size_t n) { gcry_cipher_decrypt(Shared().gcrypt, d, n, nullptr, 0); });
}

}  // namespace

BENCHMARK(Tessarel_Encrypt)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(Tessarel_Portable_Encrypt)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK_CAPTURE(Tessarel_Variant_Encrypt, avx2, tessarel::CBlowfishGather::Kind::Avx2)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK_CAPTURE(Tessarel_Variant_Encrypt, avx512, tessarel::CBlowfishGather::Kind::Avx512)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(OpenSSL_Encrypt)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(Nettle_Encrypt)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(Gcrypt_Encrypt)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(Tessarel_Decrypt)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(Tessarel_Portable_Decrypt)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(OpenSSL_Decrypt)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(Nettle_Decrypt)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(Gcrypt_Decrypt)->Unit(benchmark::kMillisecond)->MinTime(2.0);
