#pragma once

#include "ProcessRunner.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

// One file for stubpack to carry, with the head the stub should restore.
struct EntrySpec {
    std::string content;
    bool raw = false; // content is already an LZSS stream
    std::uint32_t attributes = 0x20;
    std::uint64_t created = 130000000000000000ull;
    std::uint64_t accessed = 131000000000000000ull;
    std::uint64_t written = 132000000000000000ull;
};

// A private scratch folder with a temporary folder for the stub (its TMPDIR), the
// real stub and stubpack binaries, and a second stage that leaves a marker file
// holding its own path when it runs.
class StubFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A script that writes its own path ($0) into the marker file.
    static std::string markerScript();

    fs::path pack(const std::vector<EntrySpec>& entries, const std::string& name = "packed",
                  const fs::path& stub = SETUPSTUB_PATH);
    ProcessResult runStub(const fs::path& program, ProcessOptions options = {});
    std::vector<fs::path> createdFolders() const;
    // Waits (bounded) for the second stage's marker; empty when it never came.
    std::string waitForMarker(std::chrono::milliseconds patience = std::chrono::seconds(10)) const;
    // Waits until every program the stub left running (and all they started) has ended; true
    // when none is left. Only then does a missing marker prove that nothing was started.
    static bool allDescendantsEnded();

    static std::vector<std::uint8_t> readBytes(const fs::path& path);
    static void writeBytes(const fs::path& path, const std::vector<std::uint8_t>& bytes);
    static std::string readText(const fs::path& path);

    fs::path root;
    fs::path temporary;
    fs::path marker;
    // Set after a successful run: the second stage may still be running, so the scratch
    // folder is removed only after it has ended.
    bool secondStageStarted = false;
};
