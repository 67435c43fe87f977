// The sealed card file beside the compatible encrypted one, on 100,000 cards, in the same run:
//   - saving and opening without the key derivation: the sealed file's records, seal and header
//     against the compatible file's digest, records and Blowfish (whose key schedule is part of
//     it, as it is part of every open);
//   - the key derivation alone, with the default parameters: what every open and save adds;
//   - one password guess against each type, as an attacker with the file makes it: for the
//     compatible type the unsalted SHA-1 of the guess, the Blowfish key schedule and the
//     decipherment of the first block, compared with the digest's first bytes; for the sealed
//     type one Argon2id run with the file's parameters (the tag check after it is extra).

#include <benchmark/benchmark.h>

#include <cstring>

#include "CardFileFixture.h"
#include "cardstore/CardFileFormat.h"
#include "cardstore/SealedCardFile.h"
#include "crypto/Blowfish.h"
#include "crypto/Sha1.h"

namespace {

using namespace tessarel;

constexpr int kCards = 100000;

struct Fixture {
    CCardFileData compatible;
    CCardFileData sealedDoc;
    SecureBytes compatibleFile;
    SecureBytes sealedFile;
    SealedHeader header;
    GuardedBuffer key{SealedHeader::kKeySize};

    Fixture() {
        bench::FillDocument(compatible, kCards);
        bench::FillDocument(sealedDoc, kCards);
        sealedDoc.sealed = true;
        bench::SilentUserInterface ui;
        WriteCardFile(compatible, compatibleFile, ui);
        WriteCardFile(sealedDoc, sealedFile, ui);
        SealedHeader::Parse(sealedFile, header);
        SealedCardFile::DeriveKey(bench::kPassword, header, key);
    }
};

Fixture& Shared() {
    static Fixture fixture;
    return fixture;
}

void Size(benchmark::State& state, const SecureBytes& file) {
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(file.size()));
    state.counters["file_MiB"] = static_cast<double>(file.size()) / (1 << 20);
}

void Compatible_SaveInMemory(benchmark::State& state) {
    bench::SilentUserInterface ui;
    Fixture& f = Shared();  // made before the timing starts
    for (auto _ : state) {
        SecureBytes out;
        WriteCardFile(f.compatible, out, ui);
        benchmark::DoNotOptimize(out.data());
    }
    Size(state, Shared().compatibleFile);
}

// What SealedCardFile::Write does after the key derivation: records into guarded memory, the seal.
void Sealed_SaveInMemoryWithoutKeyDerivation(benchmark::State& state) {
    const Fixture& f = Shared();
    for (auto _ : state) {
        SecureBytes out;
        GuardedBuffer plain(f.sealedDoc.TotalByteSize());
        SealedCardFile::PlainRecords(f.sealedDoc, plain);
        SealedCardFile::Seal(plain.Bytes(), f.header, f.key, out);
        benchmark::DoNotOptimize(out.data());
    }
    Size(state, f.sealedFile);
}

void Compatible_OpenInMemory(benchmark::State& state) {
    bench::SilentUserInterface ui;
    for (auto _ : state) {
        state.PauseTiming();
        SecureBytes bytes = Shared().compatibleFile;
        auto doc = std::make_unique<CCardFileData>();
        state.ResumeTiming();
        ReadCardFile(*doc, bytes, "cards.qde", ui);
        benchmark::DoNotOptimize(doc.get());
        state.PauseTiming();
        doc.reset();
        state.ResumeTiming();
    }
    Size(state, Shared().compatibleFile);
}

// What SealedCardFile::Read does after the key derivation: header checks, unsealing, records.
void Sealed_OpenInMemoryWithoutKeyDerivation(benchmark::State& state) {
    bench::SilentUserInterface ui;
    for (auto _ : state) {
        auto doc = std::make_unique<CCardFileData>();
        SealedCardFile::Open(*doc, Shared().sealedFile, Shared().key, ui);
        benchmark::DoNotOptimize(doc.get());
        state.PauseTiming();
        doc.reset();
        state.ResumeTiming();
    }
    Size(state, Shared().sealedFile);
}

void Sealed_KeyDerivationDefault(benchmark::State& state) {
    GuardedBuffer key(SealedHeader::kKeySize);
    SealedHeader header;
    header.parameters = kDefaultSealParameters;
    for (auto _ : state) {
        SealedCardFile::DeriveKey(bench::kPassword, header, key);
        benchmark::DoNotOptimize(key.Data());
    }
    state.counters["memory_KiB"] = kDefaultSealParameters.memLimitKiB;
    state.counters["passes"] = kDefaultSealParameters.opsLimit;
}

void Compatible_OneGuess(benchmark::State& state) {
    const std::uint8_t* firstBlock = Shared().compatibleFile.data() + kHeaderSize;
    const std::string guess = "not the password";
    for (auto _ : state) {
        std::uint8_t digest[kDigestSize];
        PasswordDigest(guess, digest);
        Blowfish cipher;
        cipher.BlowfishSetKey(reinterpret_cast<const std::uint8_t*>(guess.data()), guess.size());
        std::uint8_t block[8];
        std::memcpy(block, firstBlock, 8);
        cipher.DecryptBlocks(block, 1);
        benchmark::DoNotOptimize(std::memcmp(block, digest, 8));
    }
    // What a guess needs in memory: the Blowfish key schedule and SHA-1's working state.
    state.counters["memory_KiB"] = (sizeof(Blowfish) + 100) / 1024.0;
}

void Sealed_OneGuess(benchmark::State& state) {
    GuardedBuffer key(SealedHeader::kKeySize);
    Shared();
    const std::string guess = "not the password";
    for (auto _ : state) {
        SealedCardFile::DeriveKey(guess, Shared().header, key);
        benchmark::DoNotOptimize(key.Data());
    }
    state.counters["memory_KiB"] = Shared().header.parameters.memLimitKiB;
}

}  // namespace

BENCHMARK(Compatible_SaveInMemory)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(Sealed_SaveInMemoryWithoutKeyDerivation)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(Compatible_OpenInMemory)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(Sealed_OpenInMemoryWithoutKeyDerivation)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(Sealed_KeyDerivationDefault)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(Compatible_OneGuess)->Unit(benchmark::kMicrosecond)->MinTime(1.0);
BENCHMARK(Sealed_OneGuess)->Unit(benchmark::kMillisecond)->MinTime(2.0);
