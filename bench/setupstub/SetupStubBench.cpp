// Decoding: the stub's block decoder and the plain ring decoder (the baseline) on the
// same streams, output into memory. Extraction: the real stub unpacking a 64 MiB
// payload into its TMPDIR, against `cp` copying the extracted files.

#include "ArchiveBuilder.h"
#include "LzssDecoder.h"
#include "LzssEncoder.h"
#include "ReferenceLzssDecoder.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace fs = std::filesystem;

namespace {

// Installer-like content: runs, noise and repeats at varied distances.
std::vector<std::uint8_t> mixedData(std::size_t size, unsigned seed)
{
    std::mt19937 random(seed);
    std::vector<std::uint8_t> data;
    data.reserve(size + 64);
    while (data.size() < size) {
        switch (random() % 5) {
        case 0:
            data.insert(data.end(), 1 + random() % 60, static_cast<std::uint8_t>(random()));
            break;
        case 1:
        case 2:
            for (auto n = random() % 40; n > 0; --n)
                data.push_back(static_cast<std::uint8_t>('a' + random() % 26));
            break;
        default:
            if (data.size() > 16) {
                const std::size_t distance = 1 + random() % std::min<std::size_t>(data.size(), 4000);
                for (auto n = 3 + random() % 30; n > 0; --n)
                    data.push_back(data[data.size() - distance]);
            }
        }
    }
    data.resize(size);
    return data;
}

std::vector<std::uint8_t> randomData(std::size_t size, unsigned seed)
{
    std::mt19937 random(seed);
    std::vector<std::uint8_t> data(size);
    for (auto& byte : data)
        byte = static_cast<std::uint8_t>(random());
    return data;
}

struct Stream {
    std::vector<std::uint8_t> compressed;
    std::size_t decodedSize;
};

const Stream& stream(int kind)
{
    static const Stream streams[] = {
        [] {
            const auto data = mixedData(16 << 20, 1);
            return Stream {stubpack::LzssEncoder::encode(data), data.size()};
        }(),
        [] {
            const auto data = randomData(16 << 20, 2);
            return Stream {stubpack::LzssEncoder::encode(data), data.size()};
        }(),
    };
    return streams[kind];
}

class PreallocatedSink : public setupstub::ByteSink {
public:
    explicit PreallocatedSink(std::vector<std::uint8_t>& target) : out(target) {}
    bool write(const std::uint8_t* data, std::size_t size) override
    {
        if (size > out.size() - used)
            return false;
        std::memcpy(out.data() + used, data, size);
        used += size;
        return true;
    }
    std::vector<std::uint8_t>& out;
    std::size_t used = 0;
};

void BM_LzssDecodeBlock(benchmark::State& state)
{
    const Stream& input = stream(static_cast<int>(state.range(0)));
    std::vector<std::uint8_t> out(input.decodedSize);
    setupstub::LzssDecoder decoder;
    for (auto _ : state) {
        PreallocatedSink sink(out);
        if (!decoder.decode(input.compressed.data(), input.compressed.size(), sink) || sink.used != out.size())
            state.SkipWithError("wrong output size");
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * input.decodedSize));
    state.SetLabel(state.range(0) == 0 ? "mixed" : "incompressible");
}

void BM_LzssDecodeByteAtATime(benchmark::State& state)
{
    const Stream& input = stream(static_cast<int>(state.range(0)));
    std::vector<std::uint8_t> out(input.decodedSize);
    for (auto _ : state) {
        const std::size_t length = stubpack::ReferenceLzssDecoder::decode(
            input.compressed.data(), input.compressed.size(), out.data(), out.size());
        if (length != out.size())
            state.SkipWithError("wrong output size");
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * input.decodedSize));
    state.SetLabel(state.range(0) == 0 ? "mixed" : "incompressible");
}

BENCHMARK(BM_LzssDecodeByteAtATime)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LzssDecodeBlock)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

int runProgram(std::vector<std::string> arguments, const std::string& temporaryFolder)
{
    std::vector<char*> argv;
    for (auto& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    std::vector<std::string> environment {"TMPDIR=" + temporaryFolder, "PATH=/usr/bin:/bin"};
    std::vector<char*> envp;
    for (auto& entry : environment)
        envp.push_back(entry.data());
    envp.push_back(nullptr);
    pid_t child = 0;
    if (::posix_spawn(&child, argv[0], nullptr, nullptr, argv.data(), envp.data()) != 0)
        return -1;
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// A packed stub carrying a trivial second stage and four 16 MiB files, three of them
// mixed content and one incompressible.
struct ExtractionSetup {
    fs::path root;
    fs::path packed;
    fs::path temporary;
    std::uint64_t payload = 0;
    std::uint64_t archiveSize = 0;

    ExtractionSetup()
    {
        std::string pattern = (fs::temp_directory_path() / "setupstub-bench-XXXXXX").string();
        root = ::mkdtemp(pattern.data());
        temporary = root / "tmp";
        fs::create_directory(temporary);
        std::ifstream stubFile(SETUPSTUB_PATH, std::ios::binary);
        const std::vector<std::uint8_t> stub((std::istreambuf_iterator<char>(stubFile)), std::istreambuf_iterator<char>());
        // The second stage is a copy of `true`: a real program whose start is complete
        // (and its file opened) before the stub exits, so clearing the folder
        // afterwards cannot race with it.
        std::ifstream trueFile("/bin/true", std::ios::binary);
        const std::vector<std::uint8_t> trueProgram((std::istreambuf_iterator<char>(trueFile)),
                                                    std::istreambuf_iterator<char>());
        std::vector<stubpack::PackEntry> entries(1);
        entries[0].compressed = stubpack::LzssEncoder::encode(trueProgram);
        for (unsigned k = 1; k <= 4; ++k) {
            const auto data = k == 4 ? randomData(16 << 20, k) : mixedData(16 << 20, k);
            payload += data.size();
            entries.push_back({stubpack::LzssEncoder::encode(data), 0x20, 0, 0, 0});
        }
        std::string error;
        const std::vector<std::uint8_t> bytes = stubpack::ArchiveBuilder::build(stub, entries, error);
        archiveSize = bytes.size() - stub.size();
        packed = root / "packed";
        std::ofstream(packed, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                      static_cast<std::streamsize>(bytes.size()));
        fs::permissions(packed, fs::perms::owner_all);
    }

    ~ExtractionSetup()
    {
        std::error_code ignored;
        fs::remove_all(root, ignored);
    }

    void clearTemporary()
    {
        for (const auto& entry : fs::directory_iterator(temporary))
            fs::remove_all(entry.path());
    }
};

ExtractionSetup& extraction()
{
    static ExtractionSetup setup;
    return setup;
}

void BM_ExtractArchive64MiB(benchmark::State& state)
{
    ExtractionSetup& setup = extraction();
    for (auto _ : state) {
        if (runProgram({setup.packed.string()}, setup.temporary.string()) != 0)
            state.SkipWithError("the stub failed");
        state.PauseTiming();
        setup.clearTemporary();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * setup.payload));
    state.counters["archive_MiB"] = static_cast<double>(setup.archiveSize) / (1 << 20);
}

void BM_CopyExtractedFilesWithCp(benchmark::State& state)
{
    ExtractionSetup& setup = extraction();
    setup.clearTemporary();
    runProgram({setup.packed.string()}, setup.temporary.string());
    const fs::path source = fs::directory_iterator(setup.temporary)->path();
    const fs::path target = setup.root / "copy";
    for (auto _ : state) {
        if (runProgram({"/bin/cp", "-r", source.string(), target.string()}, setup.temporary.string()) != 0)
            state.SkipWithError("cp failed");
        state.PauseTiming();
        fs::remove_all(target);
        state.ResumeTiming();
    }
    setup.clearTemporary();
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * setup.payload));
}

BENCHMARK(BM_ExtractArchive64MiB)->UseRealTime()->Unit(benchmark::kMillisecond)->MinTime(3.0);
BENCHMARK(BM_CopyExtractedFilesWithCp)->UseRealTime()->Unit(benchmark::kMillisecond)->MinTime(3.0);

} // namespace

BENCHMARK_MAIN();
