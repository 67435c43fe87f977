// The packed Windows stub run for real under wine, in a wine prefix of the build's own: what it
// extracts into the user's temporary folder, the second stage it starts (a small Windows program
// that leaves a marker), and a damaged table it refuses.

#include "StubFixture.h"
#include "../support/MustRun.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <random>
#include <set>

namespace {

std::uint32_t getUint32(const std::vector<std::uint8_t>& bytes, std::size_t at)
{
    return std::uint32_t{bytes.at(at)} | std::uint32_t{bytes.at(at + 1)} << 8 | std::uint32_t{bytes.at(at + 2)} << 16
        | std::uint32_t{bytes.at(at + 3)} << 24;
}

void putUint32(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value)
{
    for (std::size_t i = 0; i < 4; ++i)
        bytes.at(at + i) = static_cast<std::uint8_t>(value >> (8 * i));
}

std::string lowered(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

} // namespace

class StubWineTest : public StubFixture {
protected:
    void SetUp() override
    {
        StubFixture::SetUp();
        if (std::string(WINE_PATH).empty() || std::string(WINMARKER_PATH).empty() || std::string(SETUPSTUB_EXE_PATH).empty())
            TESSAREL_SKIP_UNLESS_REQUIRED("wine, or the MinGW cross compiler for the Windows stub, is not installed");
        const char* fromEnvironment = std::getenv("WINEPREFIX");
        prefix = fromEnvironment && *fromEnvironment ? fs::path(fromEnvironment) : fs::path(WINE_PREFIX_PATH);
    }

    // Runs `program` under wine; the marker is named the way a Windows program sees it.
    ProcessResult runUnderWine(const fs::path& program)
    {
        // Wine maps the drive Z: to the root of the file system.
        std::string windowsMarker = "Z:" + marker.string();
        std::replace(windowsMarker.begin(), windowsMarker.end(), '/', '\\');
        ProcessOptions options;
        options.environment = {{"WINEPREFIX", prefix.string()}, {"SETUPSTUB_MARKER", windowsMarker},
                               {"WINEDEBUG", "-all"}, {"WINEDLLOVERRIDES", "mscoree,mshtml="}};
        const ProcessResult result = ProcessRunner::run({WINE_PATH, program.string()}, options);
        secondStageStarted = secondStageStarted || result.exitStatus == 0;
        return result;
    }

    // A Windows path ("C:\users\...") as the file system path wine keeps it under.
    fs::path unixPath(const std::string& windowsPath) const
    {
        if (windowsPath.size() < 3 || windowsPath[1] != ':')
            return {};
        std::string rest = windowsPath.substr(3);
        std::replace(rest.begin(), rest.end(), '\\', '/');
        return prefix / "dosdevices" / (lowered(windowsPath.substr(0, 2))) / rest;
    }

    // Every folder the stub could have made: the "tqz" folders anywhere on the drive C:.
    std::set<fs::path> stubFolders() const
    {
        std::set<fs::path> found;
        std::error_code error;
        for (fs::recursive_directory_iterator it(prefix / "drive_c", fs::directory_options::skip_permission_denied, error), end;
             it != end; it.increment(error)) {
            if (error)
                break;
            if (it->is_directory() && it->path().filename().string().rfind("tqz", 0) == 0) {
                found.insert(it->path());
                it.disable_recursion_pending();
            }
        }
        return found;
    }

    fs::path prefix;
};

TEST_F(StubWineTest, ExtractsIntoTheUsersTemporaryFolderAndStartsTheSecondStage)
{
    std::mt19937 random(1904);
    std::string data(300000, '\0');
    for (char& byte : data)
        byte = static_cast<char>(random() & 0xFF);
    std::string text;
    for (int line = 0; line < 3000; ++line)
        text += "line " + std::to_string(line % 41) + " of the installer's second file\r\n";
    const std::string secondStage = readText(WINMARKER_PATH);
    const std::vector<EntrySpec> entries {{secondStage}, {data}, {text}};
    const fs::path packed = pack(entries, "packed.exe", SETUPSTUB_EXE_PATH);

    const ProcessResult result = runUnderWine(packed);
    EXPECT_EQ(result.exitStatus, 0) << result.standardError;
    const std::string started = waitForMarker(std::chrono::seconds(60));
    ASSERT_FALSE(started.empty()) << "the second stage did not start";

    // The marker: the second stage's own path, then the user's temporary folder.
    const std::size_t newline = started.find('\n');
    ASSERT_NE(newline, std::string::npos) << started;
    const std::string self = started.substr(0, newline);
    std::string temporaryFolder = started.substr(newline + 1);
    if (!temporaryFolder.empty() && temporaryFolder.back() != '\\')
        temporaryFolder += '\\';
    EXPECT_EQ(lowered(self.substr(0, temporaryFolder.size())), lowered(temporaryFolder)) << self;
    const std::string inside = self.substr(std::min(temporaryFolder.size(), self.size()));
    EXPECT_EQ(inside.rfind("tqz", 0), 0u) << self;
    ASSERT_EQ(std::count(inside.begin(), inside.end(), '\\'), 1) << "one folder, directly in the temporary folder: " << self;
    EXPECT_EQ(inside.substr(inside.find('\\')), "\\velotte.exe") << self;

    // The files, byte for byte, under the names the stub gives them.
    const fs::path folder = unixPath(self).parent_path();
    ASSERT_TRUE(fs::is_directory(folder)) << folder;
    const fs::path files[] = {folder / "velotte.exe", folder / "00000001", folder / "00000002"};
    for (std::size_t k = 0; k < entries.size(); ++k)
        EXPECT_TRUE(readText(files[k]) == entries[k].content) << files[k];
    std::size_t count = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(folder))
        ++count;
    EXPECT_EQ(count, entries.size());

    ASSERT_TRUE(allDescendantsEnded());
    std::error_code ignored;
    fs::remove_all(folder, ignored);
}

TEST_F(StubWineTest, ADamagedTableIsRefusedAndLeavesNothingBehind)
{
    const fs::path packed = pack({{readText(WINMARKER_PATH)}, {"some data for the second entry"}}, "damaged.exe", SETUPSTUB_EXE_PATH);
    std::vector<std::uint8_t> file = readBytes(packed);
    const std::size_t archive = readBytes(SETUPSTUB_EXE_PATH).size();
    ASSERT_EQ(getUint32(file, archive), archive + 8); // the table of two
    // The second entry starts before the first.
    putUint32(file, archive + 4, getUint32(file, archive) - 1);
    writeBytes(packed, file);

    const std::set<fs::path> before = stubFolders();
    const ProcessResult result = runUnderWine(packed);
    EXPECT_EQ(result.exitStatus, 3) << result.standardError;
    ASSERT_TRUE(allDescendantsEnded());
    EXPECT_FALSE(fs::exists(marker));
    EXPECT_EQ(stubFolders(), before);
}
