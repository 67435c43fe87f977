// tessarel-cli encrypt-file and decrypt-file, run as real processes with the password piped in.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "support/TempDir.h"

namespace tessarel::testing {
namespace {

namespace fs = std::filesystem;

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

std::string Text(const std::string& path) {
    const auto bytes = ReadBytes(path);
    return {bytes.begin(), bytes.end()};
}

class FileCryptCli : public ::testing::Test {
protected:
    // Runs the tool in the temporary folder with `input` as its standard input (not a terminal).
    Outcome Run(const std::string& arguments, const std::string& input) {
        WriteBytes(dir.File(".in"), std::vector<std::uint8_t>(input.begin(), input.end()));
        const std::string command = "cd '" + dir.Path() + "' && '" TESSAREL_CLI "' " + arguments + " <.in >.out 2>.err";
        const int raw = std::system(command.c_str());
        Outcome outcome;
        outcome.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        outcome.out = Text(dir.File(".out"));
        outcome.err = Text(dir.File(".err"));
        for (const char* scratch : {".in", ".out", ".err"}) fs::remove(dir.File(scratch));
        return outcome;
    }

    TempDir dir;
    const std::vector<std::uint8_t> content{'<', 'h', 't', 'm', 'l', '>', ' ', 'p', 'a', 'g', 'e', '\n', 0, 0xFF, 0x80};
};

TEST_F(FileCryptCli, EncryptsAndDecryptsWithThePasswordFromTheFirstLine) {
    WriteBytes(dir.File("page.html"), content);

    const auto encrypted = Run("encrypt-file page.html", "secret password\nignored line\n");
    EXPECT_EQ(encrypted.status, 0) << encrypted.err;
    EXPECT_EQ(encrypted.out, dir.File("page.h~~~") + "\n");
    EXPECT_EQ(encrypted.err, "");
    EXPECT_FALSE(fs::exists(dir.File("page.html")));
    EXPECT_EQ(fs::file_size(dir.File("page.h~~~")), content.size() + 52);

    const auto wrong = Run("decrypt-file page.h~~~", "other password\n");
    EXPECT_EQ(wrong.status, 1);
    EXPECT_EQ(wrong.out, "");
    EXPECT_EQ(wrong.err, "Password not correct,try again!\n");
    EXPECT_TRUE(fs::exists(dir.File("page.h~~~")));

    const auto decrypted = Run("decrypt-file " + dir.File("page.h~~~"), "secret password");
    EXPECT_EQ(decrypted.status, 0) << decrypted.err;
    EXPECT_EQ(decrypted.out, dir.File("page.html") + "\n");
    EXPECT_TRUE(ReadBytes(dir.File("page.html")) == content);
    EXPECT_FALSE(fs::exists(dir.File("page.h~~~")));
}

TEST_F(FileCryptCli, RefusalsExitWithTheProgramsMessage) {
    WriteBytes(dir.File("page.html"), content);
    WriteBytes(dir.File("empty.txt"), {});
    struct Case {
        const char* arguments;
        const char* input;
        int status;
        std::string err;
    };
    const Case cases[] = {
        {"encrypt-file page.html", "seven77\n", 1, "Password to short, please use more characters!\n"},
        {"encrypt-file page.html", "", 1, "No file encryption password was given.\n"},
        {"encrypt-file empty.txt", "long enough\n", 1, "File is empty, cannot encrypt.\n"},
        {"encrypt-file missing.txt", "long enough\n", 1, "Could not open file\n"},
        {"decrypt-file page.html", "long enough\n", 1, dir.File("page.html") + " is not an encrypted file.\n"},
        {"encrypt-file", "", 2, "usage: tessarel-cli encrypt-file PATH\n"},
        {"decrypt-file a b", "", 2, "usage: tessarel-cli decrypt-file PATH\n"},
    };
    for (const auto& c : cases) {
        const auto outcome = Run(c.arguments, c.input);
        EXPECT_EQ(outcome.status, c.status) << c.arguments;
        EXPECT_EQ(outcome.err, c.err) << c.arguments;
        EXPECT_EQ(outcome.out, "") << c.arguments;
    }
    EXPECT_TRUE(ReadBytes(dir.File("page.html")) == content);
    EXPECT_FALSE(fs::exists(dir.File("page.h~~~")));
}

TEST_F(FileCryptCli, AnExistingEncryptedNameIsNotOverwritten) {
    WriteBytes(dir.File("page.html"), content);
    WriteBytes(dir.File("page.h~~~"), {'k', 'e', 'e', 'p'});
    const auto outcome = Run("encrypt-file page.html", "secret password\n");
    EXPECT_EQ(outcome.status, 1);
    EXPECT_NE(outcome.err.find(dir.File("page.h~~~")), std::string::npos) << outcome.err;
    EXPECT_TRUE(ReadBytes(dir.File("page.h~~~")) == (std::vector<std::uint8_t>{'k', 'e', 'e', 'p'}));
    EXPECT_TRUE(ReadBytes(dir.File("page.html")) == content);
}

}  // namespace
}  // namespace tessarel::testing
