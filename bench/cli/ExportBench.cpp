// tessarel-cli export of an encrypted card file of 100,000 cards, JSON and CSV, run as the user
// runs it (a process of its own, the password on standard input, the text to /dev/null), beside
// Blowfish alone deciphering the same body in this process, in the same run. Each export also
// reports the child's peak resident size (its high-water mark, from wait4) against the file size.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <string>

#include "CardFileFixture.h"
#include "cardstore/CardFileFormat.h"
#include "core/FileReader.h"
#include "crypto/Blowfish.h"

namespace {

using namespace tessarel;

constexpr int kCards = 100000;

struct CardFile {
    std::string path = (std::filesystem::temp_directory_path() / ("tessarel-export-bench-" + std::to_string(::getpid()) + ".qde")).string();
    SecureBytes bytes;
    CardFile() {
        CCardFileData doc;
        bench::FillDocument(doc, kCards);
        bench::SilentUserInterface ui;
        if (!SaveCardFile(doc, path, ui).ok) throw std::runtime_error("cannot write the card file");
        if (ReadWholeFile(path, std::size_t{1} << 30, bytes).status != ReadStatus::Ok) throw std::runtime_error("cannot read it back");
    }
    ~CardFile() { std::filesystem::remove(path); }
};

CardFile& File() {
    static CardFile file;
    return file;
}

struct ChildRun {
    double seconds = 0;
    double cpuSeconds = 0;  // user and system time of the child: what it costs on a busy machine
    double peakBytes = 0;
};

double Seconds(const timeval& time) { return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_usec) / 1e6; }

// Runs `tessarel-cli export PATH --format FORMAT` with the password on standard input.
ChildRun RunExport(const char* format) {
    int input[2];
    if (::pipe(input) != 0) throw std::runtime_error("pipe");
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = ::fork();
    if (child == 0) {
        ::dup2(input[0], STDIN_FILENO);
        ::close(input[0]);
        ::close(input[1]);
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, STDOUT_FILENO);
        ::execl(TESSAREL_CLI, "tessarel-cli", "export", File().path.c_str(), "--format", format, static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(input[0]);
    const std::string line = std::string(bench::kPassword) + "\n";
    if (::write(input[1], line.data(), line.size()) != static_cast<ssize_t>(line.size())) throw std::runtime_error("write");
    ::close(input[1]);
    int status = 0;
    rusage usage{};
    ::wait4(child, &status, 0, &usage);
    const auto end = std::chrono::steady_clock::now();
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) throw std::runtime_error("export failed");
    return {std::chrono::duration<double>(end - start).count(), Seconds(usage.ru_utime) + Seconds(usage.ru_stime),
            static_cast<double>(usage.ru_maxrss) * 1024.0};
}

void FileCounters(benchmark::State& state) {
    state.counters["file_MiB"] = static_cast<double>(File().bytes.size()) / (1 << 20);
}

void BlowfishAlone_DecipherBody(benchmark::State& state) {
    SecureBytes body(File().bytes.begin() + kHeaderSize, File().bytes.end());
    for (auto _ : state) {
        Blowfish cipher;
        cipher.BlowfishSetKey(reinterpret_cast<const std::uint8_t*>(bench::kPassword), std::strlen(bench::kPassword));
        cipher.DecryptBlocks(body.data(), static_cast<std::uint32_t>(body.size() / 8));
        benchmark::ClobberMemory();
    }
    FileCounters(state);
}

void Export(benchmark::State& state, const char* format) {
    double peak = 0, cpu = 0;
    for (auto _ : state) {
        const ChildRun run = RunExport(format);
        state.SetIterationTime(run.seconds);
        peak = std::max(peak, run.peakBytes);
        cpu += run.cpuSeconds;
    }
    state.counters["child_cpu_ms"] = 1000.0 * cpu / static_cast<double>(state.iterations());
    FileCounters(state);
    state.counters["peak_MiB"] = peak / (1 << 20);
    state.counters["peak_x_file"] = peak / static_cast<double>(File().bytes.size());
}

void CliExport_Json(benchmark::State& state) { Export(state, "json"); }
void CliExport_Csv(benchmark::State& state) { Export(state, "csv"); }

}  // namespace

BENCHMARK(BlowfishAlone_DecipherBody)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(CliExport_Json)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);
BENCHMARK(CliExport_Csv)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);
