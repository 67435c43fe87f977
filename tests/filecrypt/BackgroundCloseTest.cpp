// A large input is removed at the end of an operation and closed in the background, where its
// space comes back: once the closes are drained no descriptor of it is left open.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "FileCryptFixture.h"
#include "filecrypt/BackgroundClose.h"
#include "filecrypt/InputFile.h"

namespace tessarel::testing {
namespace {

using Result = CFileEncryptionOperations::Result;
namespace fs = std::filesystem;

// How many of this process's descriptors lead to `path` (after its removal: "path (deleted)").
int OpenDescriptorsOf(const std::string& path) {
    int count = 0;
    for (const auto& entry : fs::directory_iterator("/proc/self/fd")) {
        std::error_code ignored;
        const std::string target = fs::read_symlink(entry.path(), ignored).string();
        if (target == path || target == path + " (deleted)") ++count;
    }
    return count;
}

using BackgroundClose = FileCryptFixture;

TEST_F(BackgroundClose, ARemovedLargeInputIsClosedOnceTheClosesAreDrained) {
    const auto plain = RandomBytes(static_cast<std::size_t>(CInputFile::kBackgroundCloseBytes) + 5, 2);
    const std::string path = MakeFile("large.bin", plain);
    const std::string encrypted = dir.File("large.~~~");

    ASSERT_EQ(Encrypt(path), Result::Done) << ::testing::PrintToString(ui.messages);
    EXPECT_FALSE(fs::exists(path));
    CBackgroundClose::Drain();
    EXPECT_EQ(OpenDescriptorsOf(path), 0);

    ASSERT_EQ(Decrypt(encrypted), Result::Done) << ::testing::PrintToString(ui.messages);
    EXPECT_FALSE(fs::exists(encrypted));
    CBackgroundClose::Drain();
    EXPECT_EQ(OpenDescriptorsOf(encrypted), 0);
    EXPECT_TRUE(ReadBytes(path) == plain);
    EXPECT_EQ(OpenDescriptorsOf(path), 0);
}

}  // namespace
}  // namespace tessarel::testing
