#include <gtest/gtest.h>

#include "core/FileReader.h"
#include "support/TempDir.h"

namespace tessarel {
namespace {

TEST(FileReader, ReadsWholeFilesWithinTheBound) {
    testing::TempDir dir;
    const std::string path = dir.File("f");
    testing::WriteBytes(path, std::vector<std::uint8_t>(5000, 7));
    SecureBytes out;
    EXPECT_EQ(ReadWholeFile(path, 5000, out).status, ReadStatus::Ok);
    EXPECT_EQ(out.size(), 5000u);
    const auto tooLarge = ReadWholeFile(path, 4999, out);
    EXPECT_EQ(tooLarge.status, ReadStatus::TooLarge);
    EXPECT_TRUE(out.empty());
    EXPECT_EQ(FileSize(path), 5000);
}

TEST(FileReader, FailuresAreClassified) {
    testing::TempDir dir;
    SecureBytes out;
    EXPECT_EQ(ReadWholeFile(dir.File("missing"), 10, out).status, ReadStatus::NotFound);
    EXPECT_EQ(ReadWholeFile(dir.Path(), 10, out).status, ReadStatus::NotAFile);
    EXPECT_EQ(FileSize(dir.Path()), -1);
    EXPECT_FALSE(FileExists(dir.File("missing")));
    int error = 0;
    EXPECT_FALSE(RemoveFile(dir.File("missing"), &error));
    EXPECT_EQ(error, ENOENT);
}

}  // namespace
}  // namespace tessarel
