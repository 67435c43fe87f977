// The checks the file list makes when the user selects a file, and the selection flags that decide
// whether Encrypt and Decrypt are enabled.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "FileCryptFixture.h"
#include "ReferenceFormat.h"
#include "filecrypt/ExpectedMessages.h"

namespace tessarel::testing {
namespace {

namespace msg = expected_messages;

using Selection = FileCryptFixture;

TEST_F(Selection, FileChecksReportWhyAFileCannotBeUsed) {
    auto operations = Operations();
    const std::string missing = dir.File("missing.txt");
    const std::string folder = dir.File("folder");
    std::filesystem::create_directory(folder);
    const std::string empty = MakeFile("empty.txt", {});
    const std::string full = MakeFile("full.txt", RandomBytes(5, 2));

    struct Case {
        const char* name;
        std::function<bool()> check;
        bool result;
        std::vector<std::string> messages;
    };
    const Case cases[] = {
        {"access: missing file, no message", [&] { return operations.CheckFileAccess(missing); }, false, {}},
        {"access: a folder is not a file", [&] { return operations.CheckFileAccess(folder); }, false, {std::string(msg::kAccessDenied)}},
        {"access: a file", [&] { return operations.CheckFileAccess(empty); }, true, {}},
        {"recognition: missing file", [&] { return operations.IsEncryptedFile(missing); }, false, {std::string(msg::kFileOpenError)}},
        {"content: missing file", [&] { return operations.HasContent(missing); }, false, {std::string(msg::kCouldNotOpenFile)}},
        {"content: empty file", [&] { return operations.HasContent(empty); }, false, {}},
        {"content: five bytes", [&] { return operations.HasContent(full); }, true, {}},
    };
    for (const auto& c : cases) {
        ui.messages.clear();
        EXPECT_EQ(c.check(), c.result) << c.name;
        EXPECT_EQ(ui.messages, c.messages) << c.name;
    }
}

TEST_F(Selection, FlagsFollowTheSelectedFile) {
    auto operations = Operations();
    const std::string plain = MakeFile("plain.txt", RandomBytes(20, 4));
    const std::string encrypted = MakeFile("secret.~~~", ReferenceEncrypt(RandomBytes(20, 4), kPassword, "txt", ReferenceTail::Residual));
    const std::string empty = MakeFile("empty.txt", {});

    operations.SelectFile(plain);
    EXPECT_TRUE(state.CanEncrypt());
    EXPECT_FALSE(state.CanDecrypt());
    EXPECT_EQ(state.selectedFilePath, plain);

    operations.SelectFile(encrypted);
    EXPECT_FALSE(state.CanEncrypt());
    EXPECT_TRUE(state.CanDecrypt());

    operations.SelectFile(empty);
    EXPECT_EQ(ui.messages, std::vector<std::string>{std::string(msg::kSelectedFileEmpty)});
    EXPECT_FALSE(state.CanEncrypt());
    EXPECT_FALSE(state.CanDecrypt());

    // A file that cannot be opened keeps the previous flags but takes the selection.
    operations.SelectFile(plain);
    operations.SelectFile(dir.File("gone.txt"));
    EXPECT_TRUE(state.selectedIsPlain);
    EXPECT_EQ(state.selectedFilePath, dir.File("gone.txt"));

    operations.SelectFolder();
    EXPECT_FALSE(state.CanEncrypt());
    EXPECT_FALSE(state.CanDecrypt());
    EXPECT_TRUE(state.selectedFilePath.empty());
}

}  // namespace
}  // namespace tessarel::testing
