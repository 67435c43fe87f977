#include <gtest/gtest.h>
#include <sys/stat.h>

#include "CardBytes.h"
#include "cardstore/CardFileFormat.h"
#include "core/FileFaults.h"
#include "support/FileModesApply.h"
#include "support/ScriptedUserInterface.h"
#include "support/TempDir.h"

namespace tessarel {
namespace {

using testing::Bytes;

Bytes Written(CCardFileData& doc, testing::ScriptedUserInterface& ui) {
    SecureBytes out;
    EXPECT_TRUE(WriteCardFile(doc, out, ui));
    return Bytes(out.begin(), out.end());
}

std::unique_ptr<CCard> Card(std::uint8_t code, const std::string& name, const std::string& note = {}) {
    auto card = std::make_unique<CCard>();
    card->SetCategoryCode(code);
    card->SetFieldText1(name);
    card->SetFieldText2("https://example.org/" + name);
    card->SetFieldText3("user");
    card->SetFieldText4("secret-" + name);
    card->SetNote(note);
    return card;
}

// A writer sizes a document of many cards on two threads, each taking half of the cards in save
// order: wherever the halves meet (inside a list, between lists, in the deleted list), every card
// is counted once. Below the size worth a thread, one thread does it all.
TEST(CardFileWrite, RecordBytesCountsEveryCardOnceWhereverTheHalvesMeet) {
    const struct {
        const char* what;
        int (*list)(int i, int cards);  // 0 to 14, or 15 for the deleted list
    } spreads[] = {
        {"all in one list", [](int, int) { return 0; }},
        {"all deleted", [](int, int) { return 15; }},
        {"over every list", [](int i, int) { return i % 16; }},
        {"the last list, then deleted", [](int i, int cards) { return i < cards / 2 + 1 ? 14 : 15; }},
        {"first and last lists only", [](int i, int) { return i % 3 == 0 ? 0 : 14; }},
    };
    for (const int cards : {0, 1, 1000, 32767, 32768, 32769, 65543}) {
        for (const auto& spread : spreads) {
            SCOPED_TRACE(std::string(spread.what) + ", " + std::to_string(cards) + " cards");
            CCardFileData doc;
            std::size_t expected = 0;
            for (int i = 0; i < cards; ++i) {
                const int list = spread.list(i, cards);
                auto card = Card(static_cast<std::uint8_t>(list % 15), "c" + std::to_string(i), std::string(static_cast<std::size_t>(i % 37), 'n'));
                expected += card->ByteSize();
                if (list == 15) {
                    card->SetDeleted(true);
                    doc.GetDeletedList().Add(std::move(card));
                } else {
                    doc.GetCategoryList(list)->Add(std::move(card));
                }
            }
            EXPECT_EQ(RecordBytes(doc), expected);
        }
    }
}

TEST(CardFileWrite, EmptyDocumentIsTheHeaderAlone) {
    CCardFileData doc;
    testing::ScriptedUserInterface ui;
    const Bytes expected = {0x00, 0x06, 0, 0, 0, 0, 0, 0, 0, 0, 0x01, 0x00, 0x00, 0x00, 0x6C, 0x64, 0x6E, 0x51, 0, 0, 0, 0};
    EXPECT_EQ(Written(doc, ui), expected);
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), doc.headerCopy.begin()));
}

TEST(CardFileWrite, EmptyCardIs29Bytes) {
    CCardFileData doc;
    doc.GetCategoryList(0)->Add(std::make_unique<CCard>());
    testing::ScriptedUserInterface ui;
    const Bytes bytes = Written(doc, ui);
    ASSERT_EQ(bytes.size(), 22u + 29u);
    const Bytes record(bytes.begin() + 22, bytes.end());
    const Bytes expected = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 5, 0, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(record, expected);
}

TEST(CardFileWrite, RecordsInCodeOrderThenDeleted) {
    CCardFileData doc;
    doc.carriedValue = 0xA1B2C3D4;
    doc.GetCategoryList(14)->Add(Card(14, "misc"));
    doc.GetCategoryList(0)->Add(Card(0, "web1"));
    doc.GetCategoryList(0)->Add(Card(0, "web2", "line1\r\nline2"));
    auto deleted = Card(7, "gone");
    deleted->SetDeleted(true);
    doc.GetDeletedList().Add(std::move(deleted));
    auto bank = Card(7, "bank");
    bank->SetRecordFlags(0x5A);
    bank->SetSyncValue(0x01020304);
    bank->SetModified(0xCAFEBABE);
    bank->SetStatusFlags(0x84);
    doc.GetCategoryList(7)->Add(std::move(bank));

    testing::ScriptedUserInterface ui;
    using testing::RawCard;
    const Bytes expected = testing::Concat({
        testing::Header(0, 0xA1B2C3D4),
        testing::Record(RawCard{0, 0, 0, 0, 0, "web1", "https://example.org/web1", "user", "secret-web1", ""}),
        testing::Record(RawCard{0, 0, 0, 0, 0, "web2", "https://example.org/web2", "user", "secret-web2", "line1\r\nline2"}),
        testing::Record(RawCard{7, 0x5A, 0x84, 0xCAFEBABE, 0x01020304, "bank", "https://example.org/bank", "user", "secret-bank", ""}),
        testing::Record(RawCard{14, 0, 0, 0, 0, "misc", "https://example.org/misc", "user", "secret-misc", ""}),
        testing::Record(RawCard{7, 0, 0x02, 0, 0, "gone", "https://example.org/gone", "user", "secret-gone", ""}),
    });
    EXPECT_EQ(Written(doc, ui), expected);
    EXPECT_TRUE(ui.messages.empty());
}

class CountingFaults : public FileFaults {
public:
    CountingFaults(FileStep failStep, std::size_t failIndex) : step(failStep), index(failIndex) {}
    int Inject(FileStep s, const std::string&, std::size_t i) override { return s == step && i == index ? ENOSPC : 0; }

private:
    FileStep step;
    std::size_t index;
};

TEST(CardFileSave, AFailedSaveLeavesThePreviousFileExactly) {
    testing::TempDir dir;
    const std::string path = dir.File("cards.qdf");
    const Bytes previous = {1, 2, 3, 4, 5};
    testing::WriteBytes(path, previous);

    CCardFileData doc;
    // Enough text for several write pieces, so a failure can strike in the middle.
    for (int i = 0; i < 40; ++i) doc.GetCategoryList(0)->Add(Card(0, std::to_string(i), std::string(100000, 'n')));

    const std::pair<FileStep, std::size_t> points[] = {
        {FileStep::Create, 0}, {FileStep::Write, 0}, {FileStep::Write, 1}, {FileStep::Write, 3}, {FileStep::Flush, 0}, {FileStep::Rename, 0},
    };
    for (const auto& [step, index] : points) {
        CountingFaults faults(step, index);
        SetFileFaults(&faults);
        testing::ScriptedUserInterface ui;
        const auto result = SaveCardFile(doc, path, ui);
        SetFileFaults(nullptr);
        EXPECT_FALSE(result.ok);
        EXPECT_EQ(result.errorText, "No space left on device");
        EXPECT_EQ(testing::ReadBytes(path), previous);
        // Nothing is left behind beside it.
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
    }

    testing::ScriptedUserInterface ui;
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    ASSERT_TRUE(SaveCardFile(doc, path, ui).ok);
    EXPECT_EQ(testing::ReadBytes(path).size(), 22 + doc.TotalByteSize());
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);  // the file it replaced keeps its mode
    // A new card file is the owner's alone.
    const std::string fresh = dir.File("new.qdf");
    ASSERT_TRUE(SaveCardFile(doc, fresh, ui).ok);
    ASSERT_EQ(::stat(fresh.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
}

TEST(CardFileSave, AStoppedEncryptedSaveLeavesThePreviousFile) {
    testing::TempDir dir;
    const std::string path = dir.File("cards.qde");
    const Bytes previous = {9, 9, 9};
    testing::WriteBytes(path, previous);
    CCardFileData doc;
    doc.encryptionMode = 1;  // but no password
    doc.GetCategoryList(0)->Add(Card(0, "a"));
    testing::ScriptedUserInterface ui;
    const auto result = SaveCardFile(doc, path, ui);
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(result.stopped);
    EXPECT_EQ(ui.messages, std::vector<std::string>{"The encryption password is not set."});
    EXPECT_EQ(testing::ReadBytes(path), previous);
}

TEST(CardFileSave, ReadOnlyFolderKeepsTheFile) {
    // Root would write into the read-only folder anyway; here it may not.
    testing::FileModesApply modes;
    ASSERT_TRUE(modes.Active());
    testing::TempDir dir;
    const std::string path = dir.File("cards.qdf");
    testing::WriteBytes(path, {7});
    ::chmod(dir.Path().c_str(), 0500);
    CCardFileData doc;
    testing::ScriptedUserInterface ui;
    const auto result = SaveCardFile(doc, path, ui);
    ::chmod(dir.Path().c_str(), 0700);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(testing::ReadBytes(path), Bytes{7});
}

}  // namespace
}  // namespace tessarel
