// The real stub, packed by stubpack, run end to end with its own TMPDIR.

#include "StubFixture.h"

#include <random>
#include <sys/stat.h>

namespace {

struct stat statOf(const fs::path& path)
{
    struct stat info {};
    EXPECT_EQ(::lstat(path.c_str(), &info), 0) << path;
    return info;
}

// FILETIME as seconds and nanoseconds since 1970.
std::pair<long long, long> unixTime(std::uint64_t fileTime)
{
    const long long ticks = static_cast<long long>(fileTime) - 116444736000000000LL;
    long long seconds = ticks / 10000000;
    long long rest = ticks % 10000000;
    if (rest < 0) {
        rest += 10000000;
        --seconds;
    }
    return {seconds, static_cast<long>(rest * 100)};
}

void expectTime(const timespec& actual, std::uint64_t fileTime, const char* what)
{
    const auto [seconds, nanoseconds] = unixTime(fileTime);
    EXPECT_EQ(actual.tv_sec, seconds) << what;
    EXPECT_EQ(actual.tv_nsec, nanoseconds) << what;
}

std::string randomBytes(std::size_t size, unsigned seed)
{
    std::mt19937 random(seed);
    std::string bytes(size, '\0');
    for (char& byte : bytes)
        byte = static_cast<char>(random() & 0xFF);
    return bytes;
}

} // namespace

class StubExtractionTest : public StubFixture {
protected:
    // The one folder the stub made; fails the test unless there is exactly one.
    fs::path onlyFolder()
    {
        const std::vector<fs::path> folders = createdFolders();
        EXPECT_EQ(folders.size(), 1u);
        return folders.empty() ? fs::path() : folders.front();
    }

    static std::vector<std::string> namesIn(const fs::path& folder)
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
};

TEST_F(StubExtractionTest, FourEntriesKeepContentModesAndTimesAndTheSecondStageRuns)
{
    std::string repetitive;
    for (int line = 0; line < 5000; ++line)
        repetitive += "line " + std::to_string(line % 37) + " of the installer's data file\r\n";
    const std::vector<EntrySpec> entries {
        {markerScript(), false, 0x20, 125000000000000000ull, 126000000000000000ull, 127000000000000001ull},
        {randomBytes(2600000, 7), false, 0x20, 130000000000000000ull, 131111111111111111ull, 132222222222222223ull},
        {repetitive, false, 0x21, 100000000000000000ull, 100000000000000000ull, 99999999999999999ull},
        {"x", false, 0x80, 1ull, 116444736000000000ull, 116444735999999999ull},
    };
    const ProcessResult result = runStub(pack(entries));
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(result.standardError, "");

    const fs::path folder = onlyFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.filename().string().rfind("tqz", 0), 0u) << folder;
    EXPECT_EQ(statOf(folder).st_mode & 07777, 0700u);
    EXPECT_EQ(namesIn(folder), (std::vector<std::string> {"00000001", "00000002", "00000003", "velotte.exe"}));

    const fs::path files[] = {folder / "velotte.exe", folder / "00000001", folder / "00000002", folder / "00000003"};
    const mode_t modes[] = {0755, 0644, 0444, 0644};
    for (std::size_t k = 0; k < entries.size(); ++k) {
        SCOPED_TRACE(files[k].string());
        // Before reading the content, which may move the access time.
        const struct stat info = statOf(files[k]);
        EXPECT_TRUE(S_ISREG(info.st_mode));
        EXPECT_EQ(info.st_mode & 07777, modes[k]);
        expectTime(info.st_mtim, entries[k].written, "last write");
        if (k > 0) // running the second stage may touch its access time
            expectTime(info.st_atim, entries[k].accessed, "last access");
        EXPECT_TRUE(readText(files[k]) == entries[k].content);
    }
    EXPECT_EQ(waitForMarker(), files[0].string());
}

TEST_F(StubExtractionTest, OneEntryGivesOnlyTheSecondStage)
{
    const ProcessResult result = runStub(pack({{markerScript()}}));
    EXPECT_EQ(result.exitStatus, 0);
    const fs::path folder = onlyFolder();
    EXPECT_EQ(namesIn(folder), std::vector<std::string> {"velotte.exe"});
    EXPECT_EQ(waitForMarker(), (folder / "velotte.exe").string());
}

TEST_F(StubExtractionTest, EmptyEntryGivesAnEmptyFileWithItsTimesAndAttributes)
{
    const EntrySpec empty {"", true, 0x21, 128000000000000000ull, 128500000000000000ull, 129000000000000000ull};
    const ProcessResult result = runStub(pack({{markerScript()}, empty}));
    EXPECT_EQ(result.exitStatus, 0);
    const fs::path file = onlyFolder() / "00000001";
    const struct stat info = statOf(file);
    EXPECT_EQ(info.st_size, 0);
    EXPECT_EQ(info.st_mode & 07777, 0444u);
    expectTime(info.st_mtim, empty.written, "last write");
    expectTime(info.st_atim, empty.accessed, "last access");
}

// Hand-made LZSS streams, each carried raw as entry 1, against the bytes they must
// give. Pairs are (position low byte, position high nibble << 4 | length - 3).
struct StreamCase {
    const char* name;
    std::string stream;
    std::string expected;
    friend void PrintTo(const StreamCase& streamCase, std::ostream* out) { *out << streamCase.name; }
};

class StubStreamTest : public StubExtractionTest, public ::testing::WithParamInterface<StreamCase> {};

TEST_P(StubStreamTest, DecodesToTheExpectedBytes)
{
    const ProcessResult result = runStub(pack({{markerScript()}, {GetParam().stream, true}}));
    EXPECT_EQ(result.exitStatus, 0) << result.standardError;
    EXPECT_TRUE(readText(onlyFolder() / "00000001") == GetParam().expected);
}

std::string bytes(std::initializer_list<int> values)
{
    std::string out;
    for (int value : values)
        out += static_cast<char>(value);
    return out;
}

INSTANTIATE_TEST_SUITE_P(
    Streams, StubStreamTest,
    ::testing::Values(
        // Literal 'A' lands at ring position 4078 (0xFEE); a pair of length 18 from there
        // rereads what it writes: 18 more copies.
        StreamCase {"OverlappingRun", bytes({0x01, 'A', 0xEE, 0xFF}), std::string(19, 'A')},
        // Two literals then a 7-byte copy starting on the first: "ababababa".
        StreamCase {"OverlappingPattern", bytes({0x03, 'a', 'b', 0xEE, 0xF4}), "ababababa"},
        // Positions 0..4077 start as blanks: three of them, then a run of the literal.
        StreamCase {"ReferenceIntoInitialBlanks", bytes({0x02, 0x10, 0x00, 'x', 0xF1, 0xF0}), "   xxxx"},
        // The ring's last 18 positions start zeroed until written.
        StreamCase {"ReferenceIntoUnwrittenTail", bytes({0x00, 0xF0, 0xF0}), std::string(3, '\0')},
        StreamCase {"EndsBeforeAFlagByte", bytes({0xFF, 'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h'}), "abcdefgh"},
        StreamCase {"EndsInsideALiteralGroup", bytes({0x07, 'o', 'k'}), "ok"},
        StreamCase {"EndsInsideAPair", bytes({0x01, 'z', 0xEE}), "z"},
        StreamCase {"OnlyAFlagByte", bytes({0x00}), ""}),
    [](const ::testing::TestParamInfo<StreamCase>& param) { return std::string(param.param.name); });
