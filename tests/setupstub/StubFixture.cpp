#include "StubFixture.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <thread>

void StubFixture::SetUp()
{
    std::string pattern = (fs::temp_directory_path() / "setupstub-test-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    root = pattern;
    temporary = root / "tmp";
    fs::create_directory(temporary);
    marker = root / "marker";
    // Programs the stub starts outlive it; handed to this process, they can be waited for.
    ASSERT_TRUE(ProcessRunner::adoptOrphans());
}

void StubFixture::TearDown()
{
    if (secondStageStarted) {
        EXPECT_TRUE(allDescendantsEnded());
    }
    std::error_code ignored;
    fs::remove_all(root, ignored);
}

std::string StubFixture::markerScript()
{
    return "#!/bin/sh\nprintf '%s' \"$0\" > \"$SETUPSTUB_MARKER\"\n";
}

fs::path StubFixture::pack(const std::vector<EntrySpec>& entries, const std::string& name, const fs::path& stub)
{
    std::vector<std::string> arguments {STUBPACK_PATH, stub.string(), (root / name).string()};
    for (std::size_t k = 0; k < entries.size(); ++k) {
        const EntrySpec& entry = entries[k];
        const fs::path input = root / (name + "-input-" + std::to_string(k));
        writeBytes(input, std::vector<std::uint8_t>(entry.content.begin(), entry.content.end()));
        if (entry.raw)
            arguments.push_back("--raw");
        arguments.insert(arguments.end(),
                         {"--attributes", std::to_string(entry.attributes), "--created", std::to_string(entry.created),
                          "--accessed", std::to_string(entry.accessed), "--written", std::to_string(entry.written),
                          input.string()});
    }
    const ProcessResult packed = ProcessRunner::run(arguments);
    EXPECT_EQ(packed.exitStatus, 0) << packed.standardError;
    return root / name;
}

ProcessResult StubFixture::runStub(const fs::path& program, ProcessOptions options)
{
    options.environment.emplace_back("TMPDIR", temporary.string());
    options.environment.emplace_back("SETUPSTUB_MARKER", marker.string());
    const ProcessResult result = ProcessRunner::run({program.string()}, options);
    secondStageStarted = secondStageStarted || result.exitStatus == 0;
    return result;
}

std::vector<fs::path> StubFixture::createdFolders() const
{
    std::vector<fs::path> folders;
    for (const auto& entry : fs::directory_iterator(temporary))
        folders.push_back(entry.path());
    return folders;
}

std::string StubFixture::waitForMarker(std::chrono::milliseconds patience) const
{
    const auto deadline = std::chrono::steady_clock::now() + patience;
    for (;;) {
        // The script writes the file in one go; an empty one is still being written.
        if (fs::exists(marker) && fs::file_size(marker) > 0)
            return readText(marker);
        if (std::chrono::steady_clock::now() >= deadline)
            return {};
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

bool StubFixture::allDescendantsEnded()
{
    return ProcessRunner::waitForDescendants(std::chrono::seconds(60));
}

std::vector<std::uint8_t> StubFixture::readBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void StubFixture::writeBytes(const fs::path& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(out.good()) << path;
}

std::string StubFixture::readText(const fs::path& path)
{
    const std::vector<std::uint8_t> bytes = readBytes(path);
    return {bytes.begin(), bytes.end()};
}
