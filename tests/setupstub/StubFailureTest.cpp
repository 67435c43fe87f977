// Failures of the real stub: the message, the exit status, and nothing started.

#include "StubFixture.h"

#include <algorithm>
#include <functional>
#include <thread>
#include <unistd.h>

namespace {

const std::string fileAccessError = "Error: File access error\n";

std::uint32_t getUint32(const std::vector<std::uint8_t>& bytes, std::size_t at)
{
    return std::uint32_t{bytes.at(at)} | std::uint32_t{bytes.at(at + 1)} << 8 | std::uint32_t{bytes.at(at + 2)} << 16
        | std::uint32_t{bytes.at(at + 3)} << 24;
}

void putUint32(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint64_t value)
{
    for (std::size_t i = 0; i < 4; ++i)
        bytes.at(at + i) = static_cast<std::uint8_t>(value >> (8 * i));
}

std::size_t recordPosition(const std::vector<std::uint8_t>& stub)
{
    const std::string text = "OPALUXOPALUX";
    const auto found = std::search(stub.begin(), stub.end(), text.begin(), text.end());
    return static_cast<std::size_t>(found - stub.begin());
}

} // namespace

class StubFailureTest : public StubFixture {};

TEST_F(StubFailureTest, UnpatchedStubReportsCorruptionAndStartsNothing)
{
    const ProcessResult result = runStub(SETUPSTUB_PATH);
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_EQ(result.standardError, "Error: This installation is corrupted.\n");
    EXPECT_TRUE(createdFolders().empty());
}

TEST_F(StubFailureTest, ProgramFileThatCannotBeReopenedCannotOpenTheArchive)
{
    // Started from an anonymous memory file, the stub has no path to read itself from.
    ProcessOptions options;
    options.runFromMemoryFile = true;
    const ProcessResult result = runStub(pack({{markerScript()}}), options);
    EXPECT_EQ(result.exitStatus, 2);
    EXPECT_EQ(result.standardError, "Error: Can't open archive\n");
    EXPECT_TRUE(createdFolders().empty());
}

TEST_F(StubFailureTest, MissingTemporaryFolderIsAFileAccessError)
{
    const fs::path packed = pack({{markerScript()}});
    fs::remove(temporary);
    const ProcessResult result = runStub(packed);
    EXPECT_EQ(result.exitStatus, 3);
    EXPECT_EQ(result.standardError, fileAccessError);
    EXPECT_FALSE(fs::exists(temporary));
}

TEST_F(StubFailureTest, FailedWriteAfterTheSecondStageStartsNothing)
{
    // velotte.exe is complete, but the next file cannot be written in full.
    ProcessOptions options;
    options.fileSizeLimit = 64 * 1024;
    const std::string big(1 << 20, 'q');
    const ProcessResult result = runStub(pack({{markerScript()}, {big}}), options);
    EXPECT_EQ(result.exitStatus, 3);
    EXPECT_EQ(result.standardError, fileAccessError);
    const std::vector<fs::path> folders = createdFolders();
    ASSERT_EQ(folders.size(), 1u);
    EXPECT_TRUE(fs::exists(folders.front() / "velotte.exe"));
    // Had the stub started it, the script would have written its marker before it ended.
    ASSERT_TRUE(allDescendantsEnded());
    EXPECT_FALSE(fs::exists(marker));
}

TEST_F(StubFailureTest, SecondStageThatCannotRunIsReported)
{
    const ProcessResult result = runStub(pack({{"this is no program\n"}}));
    EXPECT_EQ(result.exitStatus, 3);
    EXPECT_EQ(result.standardError, fileAccessError);
}

// A packed file with two entries, damaged in one way; the stub must refuse it whole.
struct Damage {
    const char* name;
    std::function<void(std::vector<std::uint8_t>& file, std::size_t archive, std::size_t record)> apply;
    friend void PrintTo(const Damage& damage, std::ostream* out) { *out << damage.name; }
};

class StubDamageTest : public StubFixture, public ::testing::WithParamInterface<Damage> {};

TEST_P(StubDamageTest, IsAFileAccessErrorThatLeavesNothingBehind)
{
    const fs::path packed = pack({{markerScript()}, {"some data for the second entry"}});
    std::vector<std::uint8_t> file = readBytes(packed);
    const std::vector<std::uint8_t> stub = readBytes(SETUPSTUB_PATH);
    ASSERT_EQ(getUint32(file, stub.size()), stub.size() + 8); // the table of two
    GetParam().apply(file, stub.size(), recordPosition(stub));
    writeBytes(packed, file);

    const ProcessResult result = runStub(packed);
    EXPECT_EQ(result.exitStatus, 3);
    EXPECT_EQ(result.standardError, fileAccessError);
    EXPECT_TRUE(createdFolders().empty());
    ASSERT_TRUE(allDescendantsEnded());
    EXPECT_FALSE(fs::exists(marker));
}

INSTANTIATE_TEST_SUITE_P(
    Archives, StubDamageTest,
    ::testing::Values(
        Damage {"ArchiveOffsetBeyondTheFile",
                [](auto& file, auto, auto record) { putUint32(file, record + 2, file.size() + 100); }},
        Damage {"ArchiveOffsetAtTheLastBytes",
                [](auto& file, auto, auto record) { putUint32(file, record + 2, file.size() - 3); }},
        Damage {"EmptyTable", [](auto& file, auto archive, auto) { putUint32(file, archive, archive); }},
        Damage {"FirstPositionInsideTheTableWord",
                [](auto& file, auto archive, auto) { putUint32(file, archive, archive + 3); }},
        Damage {"FirstPositionBeyondTheFile",
                [](auto& file, auto archive, auto) { putUint32(file, archive, file.size() + 4); }},
        Damage {"HugeTable", [](auto& file, auto archive, auto) { putUint32(file, archive, 0xFFFFFFFFu); }},
        Damage {"FileEndsInsideTheTable", [](auto& file, auto archive, auto) { file.resize(archive + 6); }},
        Damage {"PositionsDecrease",
                [](auto& file, auto archive, auto) { putUint32(file, archive + 4, getUint32(file, archive) - 1); }},
        Damage {"PositionsRepeat",
                [](auto& file, auto archive, auto) { putUint32(file, archive + 4, getUint32(file, archive)); }},
        Damage {"EntryShorterThanItsHead",
                [](auto& file, auto archive, auto) { putUint32(file, archive + 4, getUint32(file, archive) + 27); }},
        Damage {"SecondPositionBeyondTheFile",
                [](auto& file, auto archive, auto) { putUint32(file, archive + 4, file.size() + 1); }},
        Damage {"LastEntryTruncatedInsideItsHead",
                [](auto& file, auto archive, auto) { file.resize(getUint32(file, archive + 4) + 27); }}),
    [](const ::testing::TestParamInfo<Damage>& param) { return std::string(param.param.name); });
