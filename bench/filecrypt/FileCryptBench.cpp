// encrypt-file and decrypt-file of a 256 MiB file in a temporary folder, beside Blowfish over the
// same number of bytes in memory, in the same run. The file operations include everything the user
// waits for: reading, enciphering, writing beside the target, flushing to the disk, renaming and
// deleting the input.
//
// The argument is the piece size in KiB (the program uses 1024).
//
// Beside them, in the same run: `openssl enc -bf-ecb` over the same file (the legacy provider of
// OpenSSL 3; its output goes to a file in the same folder, so it pays for writing as ours does),
// and Blowfish in memory on every core (CCipherThreads) for what the cores give without any file.
//
// "process_cpu_ms" is the CPU of every thread of the process over the timed part of one iteration:
// the work the cores share (the CPU column is the calling thread's alone).
//
// The program reads and writes both files uncached where the file system takes that: the
// device's speed counts (about 5 GB/s reading, 1.6 GB/s writing here), not the page cache's.
//
// Peak memory: before each benchmark the process's peak resident size is reset (Linux
// /proc/self/clear_refs), and each reports "peak_MiB" afterwards. The file benchmarks run first,
// before the in-memory one allocates its 256 MiB buffer.

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <random>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench/ProcessCpu.h"
#include "core/UserInterface.h"
#include "crypto/Blowfish.h"
#include "crypto/CipherThreads.h"
#include "filecrypt/BackgroundClose.h"
#include "filecrypt/FileBlockCipher.h"
#include "filecrypt/FileEncryptionOperations.h"
#include "filecrypt/FileEncryptionState.h"

namespace {

namespace fs = std::filesystem;
using tessarel::CFileEncryptionOperations;

constexpr std::size_t kFileSize = std::size_t{256} << 20;
const std::string kPassword = "benchmark password";

class SilentUserInterface : public tessarel::UserInterface {
public:
    tessarel::MessageAnswer ShowMessage(const tessarel::Message& message) override {
        throw std::runtime_error("unexpected message: " + message.text);
    }
    std::optional<std::string> AskPassword(const std::string&) override { return std::nullopt; }
};

void ResetPeakMemory() {
    std::ofstream clear("/proc/self/clear_refs");
    clear << "5";
}

double PeakMemoryMiB() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0) return std::stod(line.substr(6)) / 1024.0;
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

// A temporary folder holding one 256 MiB file of random bytes, written piece by piece.
class Workspace {
public:
    Workspace() {
        std::string pattern = (fs::temp_directory_path() / "tessarel-bench-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) throw std::runtime_error("no temporary folder");
        folder = pattern;
        plainPath = folder + "/sample.bin";
        encryptedPath = folder + "/sample.~~~";
        std::ofstream out(plainPath, std::ios::binary);
        std::mt19937_64 random(7);
        std::vector<std::uint64_t> piece((std::size_t{1} << 20) / 8);
        for (std::size_t written = 0; written < kFileSize; written += piece.size() * 8) {
            for (auto& word : piece) word = random();
            out.write(reinterpret_cast<const char*>(piece.data()), static_cast<std::streamsize>(piece.size() * 8));
        }
    }
    ~Workspace() {
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    }

    void Run(bool encrypt, std::size_t pieceSize = CFileEncryptionOperations::kDefaultPieceSize) {
        tessarel::CFileEncryptionState state;
        state.filePassword = tessarel::SecureString(kPassword.begin(), kPassword.end());
        state.filePasswordSet = true;
        state.selectedFilePath = encrypt ? plainPath : encryptedPath;
        CFileEncryptionOperations operations(state, ui, pieceSize);
        const auto result = encrypt ? operations.EncryptSelectedFile() : operations.DecryptSelectedFile();
        if (result != CFileEncryptionOperations::Result::Done) throw std::runtime_error("operation failed");
    }

    std::string folder, plainPath, encryptedPath;
    SilentUserInterface ui;
};

Workspace& Files() {
    static Workspace workspace;
    return workspace;
}

using tessarel::bench::ProcessCpu;

void Report(benchmark::State& state) {
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kFileSize));
    state.counters["peak_MiB"] = PeakMemoryMiB();
    state.counters["file_MiB"] = static_cast<double>(kFileSize >> 20);
}

// The operation removes its input and leaves the release of its space to a thread of its own
// (CBackgroundClose). The untimed part waits for that release, the timed operation's and the
// untimed one's, so no operation's release falls into the next one timed; "release_ms" is how
// long the space of the timed operation's input took to come back after it returned.
class Release {
public:
    void Drain() { tessarel::CBackgroundClose::Drain(); }
    void DrainTimed() {
        const auto start = std::chrono::steady_clock::now();
        Drain();
        total += std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    }
    void Report(benchmark::State& state) const {
        state.counters["release_ms"] = state.iterations() ? total / static_cast<double>(state.iterations()) : 0;
    }

private:
    double total = 0;
};

void BM_EncryptFile(benchmark::State& state) {
    auto& files = Files();
    files.Run(true);  // one untimed pass each way first
    files.Run(false);
    Release release;
    release.Drain();
    ResetPeakMemory();
    const auto pieceSize = static_cast<std::size_t>(state.range(0)) << 10;
    ProcessCpu cpu;
    for (auto _ : state) {
        cpu.Begin();
        files.Run(true, pieceSize);
        cpu.End();
        state.PauseTiming();
        release.DrainTimed();
        files.Run(false);
        release.Drain();
        state.ResumeTiming();
    }
    cpu.Report(state);
    release.Report(state);
    Report(state);
}

void BM_DecryptFile(benchmark::State& state) {
    auto& files = Files();
    Release release;
    release.Drain();
    ResetPeakMemory();
    const auto pieceSize = static_cast<std::size_t>(state.range(0)) << 10;
    ProcessCpu cpu;
    for (auto _ : state) {
        state.PauseTiming();
        files.Run(true);
        release.Drain();
        state.ResumeTiming();
        cpu.Begin();
        files.Run(false, pieceSize);
        cpu.End();
        state.PauseTiming();
        release.DrainTimed();
        state.ResumeTiming();
    }
    cpu.Report(state);
    release.Report(state);
    Report(state);
}

void BM_BlowfishInMemory(benchmark::State& state) {
    ResetPeakMemory();
    std::vector<std::uint8_t> buffer(kFileSize);
    std::mt19937_64 random(7);
    for (std::size_t i = 0; i < buffer.size(); i += 8) {
        const std::uint64_t word = random();
        std::memcpy(buffer.data() + i, &word, 8);
    }
    tessarel::Blowfish cipher;
    ProcessCpu cpu;
    cpu.Begin();
    for (auto _ : state) {
        cipher.BlowfishSetKey(reinterpret_cast<const std::uint8_t*>(kPassword.data()), kPassword.size());
        cipher.EncryptBlocks(buffer.data(), static_cast<std::uint32_t>(kFileSize / 8));
        benchmark::DoNotOptimize(buffer.data());
        benchmark::ClobberMemory();
    }
    cpu.End();
    cpu.Report(state);
    Report(state);
}

// The file cipher as the single-file tool runs it (every core, piece by piece, the argument the
// piece size in KiB) over the same bytes in memory: what the pieces cost without any file.
void BM_FileCipherInPieces(benchmark::State& state) {
    std::vector<std::uint8_t> buffer(kFileSize, 0x5A);
    const auto pieceSize = static_cast<std::size_t>(state.range(0)) << 10;
    ProcessCpu cpu;
    for (auto _ : state) {
        cpu.Begin();
        tessarel::CFileBlockCipher cipher(kPassword, tessarel::CFileBlockCipher::Direction::Encrypt, tessarel::CFileBlockCipher::Tail::Residual);
        for (std::size_t offset = 0; offset < kFileSize; offset += pieceSize) {
            cipher.Process(std::span(buffer).subspan(offset, std::min(pieceSize, kFileSize - offset)));
        }
        benchmark::DoNotOptimize(buffer.data());
        benchmark::ClobberMemory();
        cpu.End();
    }
    cpu.Report(state);
    Report(state);
}

// The same file through the openssl command, started afresh each time as a user would run it.
void BM_OpensslEncFile(benchmark::State& state) {
    auto& files = Files();
    const std::string output = files.folder + "/openssl.out";
    const std::string command = "openssl enc -provider legacy -provider default -bf-ecb -nopad "
                                "-K 62656e63686d61726b2070617373776f -in '" + files.plainPath + "' -out '" + output + "'";
    if (std::system(command.c_str()) != 0) {
        state.SkipWithError("openssl enc -bf-ecb failed");
        return;
    }
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) state.SkipWithError("openssl enc -bf-ecb failed");
    }
    std::filesystem::remove(output);
    Report(state);
}

void BM_BlowfishInMemoryAllCores(benchmark::State& state) {
    std::vector<std::uint8_t> buffer(kFileSize, 0x5A);
    tessarel::Blowfish cipher;
    tessarel::CCipherThreads cores;
    ProcessCpu cpu;
    cpu.Begin();
    for (auto _ : state) {
        cipher.BlowfishSetKey(reinterpret_cast<const std::uint8_t*>(kPassword.data()), kPassword.size());
        cores.EncryptBlocks(cipher, buffer.data(), kFileSize / 8);
        benchmark::DoNotOptimize(buffer.data());
        benchmark::ClobberMemory();
    }
    cpu.End();
    cpu.Report(state);
    state.counters["threads"] = cores.Threads();
    Report(state);
}

BENCHMARK(BM_EncryptFile)->Arg(1024)->Arg(4096)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_DecryptFile)->Arg(1024)->Arg(4096)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_OpensslEncFile)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_BlowfishInMemory)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_FileCipherInPieces)->Arg(1024)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_BlowfishInMemoryAllCores)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

}  // namespace
