// Reading a hostile card file: 48 MB of the smallest records a layout can hold (the most cards per
// byte), from disk, in the current plain and encrypted layouts and the legacy 1.001 plain layout.
// Each iteration reports the peak resident memory it reached above its start (the high-water mark
// is reset before every iteration), as MiB and as a multiple of the file's size. The anchor, in the
// same run, is reading the same file's bytes alone.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>

#include "CardFileFixture.h"
#include "cardstore/CardFileFormat.h"
#include "core/FileReader.h"
#include "crypto/Blowfish.h"
#include "crypto/Sha1.h"

namespace {

using namespace tessarel;

constexpr std::size_t kFileSize = std::size_t{48} << 20;
constexpr double kMiB = 1 << 20;

SecureBytes Header(std::uint8_t bodyKind) {
    return {0, 6, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, bodyKind, 0, 0x6C, 0x64, 0x6E, 0x51, 0, 0, 0, 0};
}

// Appends copies of `record` while they fit in kFileSize.
void Fill(SecureBytes& out, const SecureBytes& record) {
    while (out.size() + record.size() <= kFileSize) out.insert(out.end(), record.begin(), record.end());
}

const SecureBytes kEmptyRecord = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 5, 0, 0, 0, 0, 0, 0, 0, 0};
const SecureBytes kEmptyLegacyRecord(10, 0);

SecureBytes CurrentPlain() {
    SecureBytes file = Header(0);
    Fill(file, kEmptyRecord);
    return file;
}

SecureBytes CurrentEncrypted() {
    SecureBytes body(kSha1DigestSize);
    PasswordDigest(bench::kPassword, body.data());
    Fill(body, kEmptyRecord);
    body.resize((body.size() + 7) / 8 * 8, 0);
    Blowfish cipher;
    cipher.BlowfishSetKey(reinterpret_cast<const std::uint8_t*>(bench::kPassword), std::strlen(bench::kPassword));
    cipher.EncryptBlocks(body.data(), static_cast<std::uint32_t>(body.size() / 8));
    SecureBytes file = Header(1);
    file.insert(file.end(), body.begin(), body.end());
    return file;
}

SecureBytes LegacyPlain() {
    const std::string prefix = "NTENCRYPTVersion1.001";
    SecureBytes file(prefix.begin(), prefix.end());
    file.insert(file.end(), 3, 0);
    Fill(file, kEmptyLegacyRecord);
    return file;
}

// The files written by this run, removed when it ends.
struct Files {
    std::map<std::string, std::string> paths;
    ~Files() {
        for (const auto& [name, path] : paths) std::filesystem::remove(path);
    }
};

// Writes the layout's file once per process and returns its path.
const std::string& FileOf(const char* name, const std::function<SecureBytes()>& make) {
    static Files files;
    auto& path = files.paths[name];
    if (path.empty()) {
        path = (std::filesystem::temp_directory_path() / ("tessarel-bench-" + std::to_string(::getpid()) + "-" + name)).string();
        const SecureBytes bytes = make();
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    return path;
}

void ResetPeak() { std::ofstream("/proc/self/clear_refs") << "5"; }

void Read(benchmark::State& state, const char* name, const std::function<SecureBytes()>& make, bool cards) {
    const std::string& path = FileOf(name, make);
    const auto size = static_cast<double>(FileSize(path));
    double peak = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto doc = std::make_unique<CCardFileData>();
        ResetPeak();
        const auto start = static_cast<double>(bench::ResidentBytes());
        state.ResumeTiming();
        if (cards) {
            bench::SilentUserInterface ui;
            benchmark::DoNotOptimize(LoadCardFile(*doc, path, ui).ok);
        } else {
            SecureBytes bytes;
            benchmark::DoNotOptimize(ReadWholeFile(path, kMaxCardFileSize, bytes).status);
        }
        state.PauseTiming();
        peak = std::max(peak, static_cast<double>(bench::PeakResidentBytes()) - start);
        doc.reset();
        state.ResumeTiming();
    }
    state.counters["file_MiB"] = size / kMiB;
    state.counters["peak_MiB"] = peak / kMiB;
    state.counters["peak_x_file"] = peak / size;
}

void Anchor_ReadBytesOnly(benchmark::State& state) { Read(state, "plain", CurrentPlain, false); }
void ReadEmptyRecords_CurrentPlain(benchmark::State& state) { Read(state, "plain", CurrentPlain, true); }
void ReadEmptyRecords_CurrentEncrypted(benchmark::State& state) { Read(state, "encrypted", CurrentEncrypted, true); }
void ReadEmptyRecords_Legacy1001Plain(benchmark::State& state) { Read(state, "legacy", LegacyPlain, true); }

}  // namespace

BENCHMARK(Anchor_ReadBytesOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(ReadEmptyRecords_CurrentPlain)->Unit(benchmark::kMillisecond);
BENCHMARK(ReadEmptyRecords_CurrentEncrypted)->Unit(benchmark::kMillisecond);
BENCHMARK(ReadEmptyRecords_Legacy1001Plain)->Unit(benchmark::kMillisecond);
