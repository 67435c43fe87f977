// An encrypted card file of 100,000 cards: writing it (records, digest, encipherment) and reading
// it (decipherment, digest check, records), beside Blowfish alone over the same number of bytes
// in the same run. The in-memory figures compare the formats' own cost with the cipher's; the
// on-disk ones add the atomic save (with its flush to the disk) and the bounded read.
//
// The CPU column is the calling thread's; "process_cpu_ms" is the CPU of every thread of the
// process over the timed part of one iteration, the work the cores share. On a machine whose
// other core is busy with other work, these two show what the cores would give when idle.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstring>
#include <ctime>
#include <filesystem>

#include "CardFileFixture.h"
#include "bench/ProcessCpu.h"
#include "cardstore/CardFileFormat.h"
#include "crypto/Blowfish.h"

namespace {

using namespace tessarel;

constexpr int kCards = 100000;

struct Fixture {
    CCardFileData doc;
    SecureBytes file;
    Fixture() {
        bench::FillDocument(doc, kCards);
        bench::SilentUserInterface ui;
        WriteCardFile(doc, file, ui);
    }
};

Fixture& Shared() {
    static Fixture fixture;
    return fixture;
}

using tessarel::bench::ProcessCpu;

void Bytes(benchmark::State& state) {
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(Shared().file.size()));
    state.counters["file_MiB"] = static_cast<double>(Shared().file.size()) / (1 << 20);
}

void BlowfishAlone_Encrypt(benchmark::State& state) {
    SecureBytes buffer(Shared().file.begin() + kHeaderSize, Shared().file.end());
    ProcessCpu cpu;
    cpu.Begin();
    for (auto _ : state) {
        Blowfish cipher;
        cipher.BlowfishSetKey(reinterpret_cast<const std::uint8_t*>(bench::kPassword), std::strlen(bench::kPassword));
        cipher.EncryptBlocks(buffer.data(), static_cast<std::uint32_t>(buffer.size() / 8));
        benchmark::ClobberMemory();
    }
    cpu.End();
    cpu.Report(state);
    Bytes(state);
}

void BlowfishAlone_Decrypt(benchmark::State& state) {
    SecureBytes buffer(Shared().file.begin() + kHeaderSize, Shared().file.end());
    ProcessCpu cpu;
    cpu.Begin();
    for (auto _ : state) {
        Blowfish cipher;
        cipher.BlowfishSetKey(reinterpret_cast<const std::uint8_t*>(bench::kPassword), std::strlen(bench::kPassword));
        cipher.DecryptBlocks(buffer.data(), static_cast<std::uint32_t>(buffer.size() / 8));
        benchmark::ClobberMemory();
    }
    cpu.End();
    cpu.Report(state);
    Bytes(state);
}

// The portable scalar loop, the one-thread cipher before the vector variants: the anchor the
// first figures of these ratios were taken against.
void BlowfishPortable_Encrypt(benchmark::State& state) {
    SecureBytes buffer(Shared().file.begin() + kHeaderSize, Shared().file.end());
    for (auto _ : state) {
        Blowfish cipher;
        cipher.BlowfishSetKey(reinterpret_cast<const std::uint8_t*>(bench::kPassword), std::strlen(bench::kPassword));
        cipher.EncryptBlocksPortable(buffer.data(), static_cast<std::uint32_t>(buffer.size() / 8));
        benchmark::ClobberMemory();
    }
    Bytes(state);
}

void BlowfishPortable_Decrypt(benchmark::State& state) {
    SecureBytes buffer(Shared().file.begin() + kHeaderSize, Shared().file.end());
    for (auto _ : state) {
        Blowfish cipher;
        cipher.BlowfishSetKey(reinterpret_cast<const std::uint8_t*>(bench::kPassword), std::strlen(bench::kPassword));
        cipher.DecryptBlocksPortable(buffer.data(), static_cast<std::uint32_t>(buffer.size() / 8));
        benchmark::ClobberMemory();
    }
    Bytes(state);
}

void CardFile_WriteInMemory(benchmark::State& state) {
    bench::SilentUserInterface ui;
    ProcessCpu cpu;
    cpu.Begin();
    for (auto _ : state) {
        SecureBytes out;
        WriteCardFile(Shared().doc, out, ui);
        benchmark::DoNotOptimize(out.data());
    }
    cpu.End();
    cpu.Report(state);
    Bytes(state);
}

void CardFile_ReadInMemory(benchmark::State& state) {
    bench::SilentUserInterface ui;
    ProcessCpu cpu;
    for (auto _ : state) {
        state.PauseTiming();
        SecureBytes bytes = Shared().file;
        auto doc = std::make_unique<CCardFileData>();
        state.ResumeTiming();
        cpu.Begin();
        ReadCardFile(*doc, bytes, "cards.qde", ui);
        cpu.End();
        benchmark::DoNotOptimize(doc.get());
        state.PauseTiming();
        doc.reset();
        state.ResumeTiming();
    }
    cpu.Report(state);
    Bytes(state);
}

std::string TempPath() { return (std::filesystem::temp_directory_path() / ("tessarel-bench-" + std::to_string(::getpid()) + ".qde")).string(); }

void CardFile_SaveToDisk(benchmark::State& state) {
    bench::SilentUserInterface ui;
    const std::string path = TempPath();
    for (auto _ : state) SaveCardFile(Shared().doc, path, ui);
    std::filesystem::remove(path);
    Bytes(state);
}

void CardFile_LoadFromDisk(benchmark::State& state) {
    bench::SilentUserInterface ui;
    const std::string path = TempPath();
    SaveCardFile(Shared().doc, path, ui);
    for (auto _ : state) {
        auto doc = std::make_unique<CCardFileData>();
        LoadCardFile(*doc, path, ui);
        benchmark::DoNotOptimize(doc.get());
        state.PauseTiming();
        doc.reset();
        state.ResumeTiming();
    }
    std::filesystem::remove(path);
    Bytes(state);
}

}  // namespace

BENCHMARK(BlowfishAlone_Encrypt)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BlowfishPortable_Encrypt)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(CardFile_WriteInMemory)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(CardFile_SaveToDisk)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BlowfishAlone_Decrypt)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BlowfishPortable_Decrypt)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(CardFile_ReadInMemory)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(CardFile_LoadFromDisk)->Unit(benchmark::kMillisecond)->MinTime(1.0);
