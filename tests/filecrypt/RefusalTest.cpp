// Every refusal and every failure leaves all files as they were: the checks made before anything
// is written, the wrong password, and a failure injected at each step of writing the new file.

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>

#include "FileCryptFixture.h"
#include "ReferenceFormat.h"
#include "core/FileFaults.h"
#include "filecrypt/ExpectedMessages.h"

namespace tessarel::testing {
namespace {

using Result = CFileEncryptionOperations::Result;
namespace msg = expected_messages;
namespace fs = std::filesystem;

std::vector<std::string> Texts(std::initializer_list<std::string_view> texts) { return {texts.begin(), texts.end()}; }

// Fails one step of the file layer, or runs an action at that step and lets it go on.
class InjectedFault : public FileFaults {
public:
    InjectedFault(FileStep step_, std::size_t index_, int error_, std::function<void()> action_ = {})
        : step(step_), index(index_), error(error_), action(std::move(action_)) {
        previous = SetFileFaults(this);
    }
    ~InjectedFault() override { SetFileFaults(previous); }
    int Inject(FileStep at, const std::string&, std::size_t count) override {
        if (at != step || count != index) return 0;
        ++hits;
        if (action) action();
        return error;
    }
    int hits = 0;

private:
    FileStep step;
    std::size_t index;
    int error;
    std::function<void()> action;
    FileFaults* previous = nullptr;
};

class Refusals : public FileCryptFixture {
protected:
    void SetUp() override {
        FileCryptFixture::SetUp();
        pieceSize = 24;  // 100 bytes are written in five pieces, then the trailer
        plain = RandomBytes(100, 11);
    }

    // Runs `operation` and checks that it failed with `expected` and touched no file.
    void ExpectRefused(const std::function<Result()>& operation, const std::vector<std::string>& expected) {
        const auto before = Snapshot();
        ui.messages.clear();
        ui.shown.clear();
        EXPECT_EQ(operation(), Result::Failed);
        EXPECT_EQ(ui.messages, expected);
        EXPECT_EQ(Snapshot(), before);
        for (const auto& shown : ui.shown) {
            EXPECT_EQ(shown.owner, MessageOwner::MainWindow);
            EXPECT_EQ(shown.buttons, MessageButtons::Ok);
        }
    }

    std::string EncryptedSample() {
        return MakeFile("page.h~~~", ReferenceEncrypt(plain, kPassword, "tml", ReferenceTail::Residual));
    }

    std::vector<std::uint8_t> plain;
};

TEST_F(Refusals, EmptyAndMissingFiles) {
    const std::string empty = MakeFile("empty.txt", {});
    ExpectRefused([&] { return Encrypt(empty); }, Texts({msg::kFileEmptyCannotEncrypt}));
    const std::string emptyEncrypted = MakeFile("empty.~~~", {});
    ExpectRefused([&] { return Decrypt(emptyEncrypted); }, Texts({msg::kFileEmptyCanNotDecrypt}));
    ExpectRefused([&] { return Encrypt(dir.File("missing.txt")); }, Texts({msg::kCouldNotOpenFile}));
    ExpectRefused([&] { return Decrypt(dir.File("missing.~~~")); }, Texts({msg::kCouldNotOpenFile}));
}

TEST_F(Refusals, WrongPasswordKeepsTheEncryptedFile) {
    const std::string encrypted = EncryptedSample();
    UsePassword("another password");
    ExpectRefused([&] { return Decrypt(encrypted); }, Texts({msg::kWrongPassword}));
    EXPECT_EQ(state.selectedFilePath, encrypted);
}

TEST_F(Refusals, ExistingFilesAreNeverOverwritten) {
    // Encrypting page.html would overwrite an unrelated page.h~~~ (page.htm~ maps there as well).
    const std::string html = MakeFile("page.html", plain);
    const std::string other = MakeFile("page.h~~~", RandomBytes(10, 1));
    ExpectRefused([&] { return Encrypt(html); }, {msg::EncryptedNameExists(other)});
    fs::remove(other);

    // Decrypting page.h~~~ would overwrite the page.html that exists again meanwhile.
    const std::string encrypted = EncryptedSample();
    ExpectRefused([&] { return Decrypt(encrypted); }, {msg::RestoredNameExists(html)});
}

TEST_F(Refusals, HostileTrailersAreRefusedBeforeAnythingIsRead) {
    // Recognised (magic 32 bytes before the end) but too short to hold the 52-byte trailer.
    std::vector<std::uint8_t> stub(40, 0);
    std::memcpy(stub.data() + 8, "QndlEncr", 8);
    const std::string shortFile = MakeFile("stub.~~~", stub);
    ExpectRefused([&] { return Decrypt(shortFile); }, {msg::TooShortToDecrypt(shortFile)});

    for (const std::string& tail : {std::string("a/b"), std::string("..\\"), std::string("x\0y", 3), std::string("/..")}) {
        SCOPED_TRACE(::testing::PrintToString(tail));
        const std::string path = MakeFile("evil.~~~", ReferenceEncrypt(plain, kPassword, tail, ReferenceTail::Residual));
        ExpectRefused([&] { return Decrypt(path); }, {msg::InvalidStoredName(path)});
        fs::remove(path);
    }
}

TEST_F(Refusals, NamesTooShortWouldLeaveTheirFolder) {
    // Replacing the last three characters of ".../ab" would name a file in the parent folder.
    const std::string tiny = MakeFile("ab", plain);
    ExpectRefused([&] { return Encrypt(tiny); }, {msg::NameTooShort(tiny)});
    const std::string tinyEncrypted = MakeFile("~~", ReferenceEncrypt(plain, kPassword, "abc", ReferenceTail::Residual));
    ExpectRefused([&] { return Decrypt(tinyEncrypted); }, {msg::NameTooShort(tinyEncrypted)});
}

// Encrypting a link would delete the link and leave the file it points to in plain text.
TEST_F(Refusals, SymbolicLinksAreNotEncrypted) {
    const std::string target = MakeFile("page.html", plain);
    const std::string link = dir.File("link.html");
    fs::create_symlink(target, link);
    ExpectRefused([&] { return Encrypt(link); }, {msg::SymbolicLinkNotEncrypted(link)});
}

struct FaultCase {
    const char* name;
    FileStep step;
    std::size_t index;
    std::vector<std::string> encryptMessages;
    std::vector<std::string> decryptMessages;
};

const FaultCase kWriteFaults[] = {
    {"create", FileStep::Create, 0, Texts({msg::kCouldNotOpenFile, msg::kWriteEncryptedFileError}), Texts({msg::kCouldNotOpenFile, msg::kWriteBytesToDiskError})},
    {"first write", FileStep::Write, 0, Texts({msg::kWriteEncryptedFileError}), Texts({msg::kWriteBytesToDiskError})},
    {"middle write", FileStep::Write, 2, Texts({msg::kWriteEncryptedFileError}), Texts({msg::kWriteBytesToDiskError})},
    {"last write", FileStep::Write, 4, Texts({msg::kWriteEncryptedFileError}), Texts({msg::kWriteBytesToDiskError})},
    {"flush", FileStep::Flush, 0, Texts({msg::kWriteEncryptedFileError}), Texts({msg::kWriteBytesToDiskError})},
    {"rename", FileStep::Rename, 0, Texts({msg::kWriteEncryptedFileError}), Texts({msg::kWriteBytesToDiskError})},
};

TEST_F(Refusals, AFailureAtAnyWriteStepKeepsTheInputAndLeavesNoOutput) {
    for (const auto& fault : kWriteFaults) {
        SCOPED_TRACE(fault.name);
        const std::string html = MakeFile("page.html", plain);
        {
            InjectedFault injected(fault.step, fault.index, ENOSPC);
            ExpectRefused([&] { return Encrypt(html); }, fault.encryptMessages);
            EXPECT_EQ(injected.hits, 1);
        }
        fs::remove(html);
        const std::string encrypted = EncryptedSample();
        {
            InjectedFault injected(fault.step, fault.index, EIO);
            ExpectRefused([&] { return Decrypt(encrypted); }, fault.decryptMessages);
            EXPECT_EQ(injected.hits, 1);
        }
        fs::remove(encrypted);
    }
}

// The trailer goes out as the sixth write of an encryption.
TEST_F(Refusals, AFailedTrailerWriteKeepsThePlainFile) {
    const std::string html = MakeFile("page.html", plain);
    InjectedFault injected(FileStep::Write, 5, ENOSPC);
    ExpectRefused([&] { return Encrypt(html); }, Texts({msg::kWriteEncryptedFileError}));
    EXPECT_EQ(injected.hits, 1);
}

TEST_F(Refusals, AnInputThatCannotBeDeletedStaysBesideTheCompleteOutput) {
    const std::string html = MakeFile("page.html", plain);
    const std::string encrypted = dir.File("page.h~~~");
    {
        InjectedFault injected(FileStep::Remove, 0, EACCES);
        EXPECT_EQ(Encrypt(html), Result::InputKept);
        EXPECT_EQ(ui.messages, std::vector<std::string>{msg::PlainFileNotDeleted(html, std::strerror(EACCES))});
    }
    EXPECT_TRUE(ReadBytes(html) == plain);
    EXPECT_TRUE(ReadBytes(encrypted) == ReferenceEncrypt(plain, kPassword, "tml", ReferenceTail::Residual));
    EXPECT_EQ(state.selectedFilePath, encrypted);

    fs::remove(html);
    ui.messages.clear();
    {
        InjectedFault injected(FileStep::Remove, 0, EBUSY);
        EXPECT_EQ(Decrypt(encrypted), Result::InputKept);
        EXPECT_EQ(ui.messages, std::vector<std::string>{msg::EncryptedFileNotDeleted(encrypted, std::strerror(EBUSY))});
    }
    EXPECT_TRUE(ReadBytes(html) == plain);
    EXPECT_TRUE(fs::exists(encrypted));
}

// The input changes after it was opened: the output file is created at that moment, so the
// injected action runs between the length check and the first read.
TEST_F(Refusals, AnInputThatChangesWhileReadIsKept) {
    const std::string html = MakeFile("page.html", plain);
    const std::vector<std::uint8_t> shorter(plain.begin(), plain.begin() + 50);
    {
        InjectedFault shrink(FileStep::Create, 0, 0, [&] { WriteBytes(html, shorter); });
        const std::vector<std::string> expected = Texts({msg::kNotAllBytesRead});
        EXPECT_EQ(Encrypt(html), Result::Failed);
        EXPECT_EQ(ui.messages, expected);
    }
    EXPECT_EQ(Snapshot(), (FolderSnapshot{{"page.html", shorter}}));

    ui.messages.clear();
    std::vector<std::uint8_t> longer = plain;
    longer.resize(130, 'z');
    WriteBytes(html, plain);
    {
        InjectedFault grow(FileStep::Create, 0, 0, [&] { WriteBytes(html, longer); });
        EXPECT_EQ(Encrypt(html), Result::Failed);
        EXPECT_EQ(ui.messages, std::vector<std::string>{msg::FileChangedWhileReading(html)});
    }
    EXPECT_EQ(Snapshot(), (FolderSnapshot{{"page.html", longer}}));
    fs::remove(html);

    ui.messages.clear();
    const std::string encrypted = EncryptedSample();
    const auto full = ReadBytes(encrypted);
    const std::vector<std::uint8_t> cut(full.begin(), full.begin() + 60);
    {
        InjectedFault shrink(FileStep::Create, 0, 0, [&] { WriteBytes(encrypted, cut); });
        EXPECT_EQ(Decrypt(encrypted), Result::Failed);
        EXPECT_EQ(ui.messages, Texts({msg::kBytesNotReadCorrectly}));
    }
    EXPECT_EQ(Snapshot(), (FolderSnapshot{{"page.h~~~", cut}}));
}

}  // namespace
}  // namespace tessarel::testing
