#include <gtest/gtest.h>

#include <algorithm>
#include <span>

#include "CardBytes.h"
#include "cardstore/CardFileFormat.h"
#include "cardstore/CardTime.h"
#include "support/ScriptedUserInterface.h"
#include "support/TempDir.h"

namespace tessarel {
namespace {

using testing::Bytes;
using testing::RawCard;

struct Read {
    CCardFileData doc;
    testing::ScriptedUserInterface ui;
    CardFileReadResult result;
};

std::unique_ptr<Read> ReadBytes(const Bytes& bytes, const std::string& path = "/tmp/cards.qdf") {
    auto read = std::make_unique<Read>();
    SecureBytes buffer(bytes.begin(), bytes.end());
    read->result = ReadCardFile(read->doc, buffer, path, read->ui);
    return read;
}

std::string Name(const CCardList& list, int index) { return std::string(list.GetAt(index)->GetFieldText1()); }

TEST(CardFileRead, PlainRecordsGoToTheirLists) {
    const Bytes file = testing::Concat({
        testing::Header(0, 0x11223344),
        testing::Record(RawCard{2, 0x77, 0x04, 3000000000u, 0xDEADBEEF, "ftp", "ftp.example.org", "anon", "pw", "note\r\nmore"}),
        testing::Record(RawCard{20, 0, 0, 0, 0, "code twenty", "", "", "", ""}),
        testing::Record(RawCard{20, 0, 0x02, 0, 0, "deleted twenty", "", "", "", ""}),
        testing::Record(RawCard{5, 0, 0x02, 0, 0, "deleted login", "", "", "", ""}),
        testing::Record(RawCard{2, 0, 0, 0, 0, "ftp2", "", "", "", ""}),
    });
    auto read = ReadBytes(file);
    ASSERT_TRUE(read->result.ok);
    EXPECT_EQ(read->result.layout, CardFileLayout::Current);
    EXPECT_FALSE(read->result.encrypted);
    EXPECT_EQ(read->result.version, 6);
    EXPECT_TRUE(read->ui.messages.empty());
    EXPECT_EQ(read->doc.carriedValue, 0x11223344u);

    const CCardList& ftp = *read->doc.GetCategoryList(2);
    ASSERT_EQ(ftp.GetCount(), 2);
    const CCard& card = *ftp.GetAt(0);
    EXPECT_EQ(std::string(card.GetFieldText2()), "ftp.example.org");
    EXPECT_EQ(std::string(card.GetNote()), "note\r\nmore");
    EXPECT_EQ(card.GetRecordFlags(), 0x77);
    EXPECT_EQ(card.GetStatusFlags(), 0x04);
    EXPECT_EQ(card.GetSyncValue(), 0xDEADBEEFu);
    EXPECT_EQ(card.GetModified(), 3000000000u);
    EXPECT_EQ(std::string(card.GetDateText()), "01/24/99");  // 1999-01-24 05:20:00
    EXPECT_EQ(card.GetAutomaticAccess(), 0);
    EXPECT_EQ(card.GetNewBrowserWindow(), 0);
    EXPECT_TRUE(card.GetCategoryName().empty());
    EXPECT_EQ(Name(ftp, 1), "ftp2");

    const CCardList& deleted = read->doc.GetDeletedList();
    ASSERT_EQ(deleted.GetCount(), 2);  // code 20 without the deleted bit is dropped
    EXPECT_EQ(Name(deleted, 0), "deleted twenty");
    EXPECT_EQ(deleted.GetAt(1)->GetCategoryCode(), 5);
}

TEST(CardFileRead, ReadingThenSavingKeepsCarriedBytesAndZeroesTheRest) {
    Bytes record = testing::Record(RawCard{9, 0xA5, 0x86, 123456789, 0x0BADF00D, "atm", "bank", "tel", "1234", ""});
    for (int i : {1, 12, 13, 14, 15, 16, 17, 18, 19}) record[static_cast<std::size_t>(i)] = 0xEE;  // junk the writer never writes
    Bytes header = testing::Header(0, 0xFEEDFACE);
    header[0] = 0x33;  // ignored on reading
    const Bytes file = testing::Concat({header, record});
    auto read = ReadBytes(file);
    ASSERT_TRUE(read->result.ok);
    SecureBytes saved;
    ASSERT_TRUE(WriteCardFile(read->doc, saved, read->ui));
    const Bytes expected = testing::Concat({testing::Header(0, 0xFEEDFACE),
                                            testing::Record(RawCard{9, 0xA5, 0x86, 123456789, 0x0BADF00D, "atm", "bank", "tel", "1234", ""})});
    EXPECT_EQ(Bytes(saved.begin(), saved.end()), expected);
}

TEST(CardFileRead, TrailingBytesThatFormNoRecordAreIgnored) {
    const Bytes body = testing::Record(RawCard{0, 0, 0, 0, 0, "a", "", "", "", ""});
    for (std::size_t extra = 1; extra <= 9; ++extra) {
        Bytes file = testing::Concat({testing::Header(0), body});
        file.insert(file.end(), extra, 0x41);
        auto read = ReadBytes(file);
        EXPECT_TRUE(read->result.ok) << extra;
        EXPECT_EQ(read->doc.GetCategoryList(0)->GetCount(), 1) << extra;
        EXPECT_TRUE(read->ui.messages.empty());
    }
}

TEST(CardFileRead, DamageEndsReadingAndKeepsTheCardsBefore) {
    const Bytes good = testing::Record(RawCard{0, 0, 0, 0, 0, "kept", "", "", "", ""});
    Bytes lyingLength = testing::Record(RawCard{0, 0, 0, 0, 0, "lies", "", "", "", ""});
    lyingLength[20] = 0xFF; lyingLength[21] = 0xFF; lyingLength[22] = 0xFF; lyingLength[23] = 0x7F;
    Bytes truncatedBlock = testing::Record(RawCard{0, 0, 0, 0, 0, "cut short", "x", "y", "z", "a long note"});
    // erase rather than resize: under the sanitizers gcc cannot see that the size stays positive
    // and warns about a huge memset that never happens.
    truncatedBlock.erase(truncatedBlock.end() - 5, truncatedBlock.end());
    const Bytes truncatedHead(good.begin(), good.begin() + 15);

    for (const Bytes& damage : {lyingLength, truncatedBlock, truncatedHead}) {
        auto read = ReadBytes(testing::Concat({testing::Header(0), good, good, damage}));
        EXPECT_TRUE(read->result.ok);
        EXPECT_EQ(read->doc.GetCategoryList(0)->GetCount(), 2);
    }
}

// What a reader of records that are still being deciphered is handed: the bytes past what it was
// told are ready hold rubbish, and become the file's own only when it asks for them.
class StagedRecords {
public:
    explicit StagedRecords(const Bytes& records) : truth(records), staged(records.size(), 0xEE) {}

    std::span<const std::uint8_t> Data() const { return staged; }
    // Makes bytes [0, offset) ready, and more by `step` (rounded up to whole steps, 0: exactly
    // what is asked), and says how many are ready.
    std::size_t Ready(std::size_t offset, std::size_t step) {
        EXPECT_LE(offset, truth.size());
        const std::size_t end = std::min(truth.size(), step == 0 ? offset : (offset + step - 1) / step * step);
        if (end > readyEnd) std::copy(truth.begin() + static_cast<std::ptrdiff_t>(readyEnd), truth.begin() + static_cast<std::ptrdiff_t>(end),
                                      staged.begin() + static_cast<std::ptrdiff_t>(readyEnd));
        readyEnd = std::max(readyEnd, end);
        return readyEnd;
    }

private:
    Bytes truth;
    SecureBytes staged;
    std::size_t readyEnd = 0;
};

// The records, read as their bytes become ready, make the cards that reading all of them at once
// makes: no byte is read before it is ready, whatever steps the bytes come in, damaged tails and
// dropped records included. Each card's date text is its own stamp's, in the document's format.
TEST(CardFileRead, RecordsReadAsTheirBytesBecomeReadyMakeTheSameCards) {
    Bytes records;
    for (std::uint32_t i = 0; i < 300; ++i) {
        const auto code = static_cast<std::uint8_t>(i % 17);  // 15 and 16 are dropped unless deleted
        const auto status = static_cast<std::uint8_t>(i % 7 == 0 ? CCard::kDeletedFlag : 0);
        // Stamps in runs of one day and across midnight: 86,400 seconds a day.
        const std::uint32_t stamp = 3000000000u + i / 5 * 43200u + i % 3;
        const std::string note(i % 150, static_cast<char>('a' + i % 26));
        const Bytes record = testing::Record(RawCard{code, 0, status, stamp, i, "card " + std::to_string(i), "", "x", "", note});
        records.insert(records.end(), record.begin(), record.end());
    }
    Bytes lyingLength = testing::Record(RawCard{0, 0, 0, 0, 0, "lies", "", "", "", ""});
    lyingLength[20] = 0xFF;
    lyingLength[23] = 0x7F;
    const Bytes truncatedBlock = testing::Record(RawCard{0, 0, 0, 0, 0, "cut", "", "", "", "long note"});
    for (const Bytes& tail : {Bytes{}, Bytes(5, 0), lyingLength, Bytes(truncatedBlock.begin(), truncatedBlock.end() - 4)}) {
        const Bytes data = testing::Concat({records, tail});
        CCardFileData whole;
        whole.dateFormat = 1;
        const std::size_t expected = ReadRecords(whole, data);
        SecureBytes expectedRecords;
        WriteAllRecords(whole, expectedRecords);
        for (const std::size_t step : {std::size_t{0}, std::size_t{1}, std::size_t{8}, std::size_t{64}, std::size_t{4096}}) {
            SCOPED_TRACE("tail of " + std::to_string(tail.size()) + " bytes, steps of " + std::to_string(step));
            StagedRecords staged(data);
            CCardFileData doc;
            doc.dateFormat = 1;
            EXPECT_EQ(ReadRecords(doc, staged.Data(), 0, nullptr, [&](std::size_t offset) { return staged.Ready(offset, step); }), expected);
            SecureBytes got;
            WriteAllRecords(doc, got);
            EXPECT_EQ(got, expectedRecords);
            doc.VisitInSaveOrder([](const CCard& card) { EXPECT_EQ(card.GetDateText(), FormatCardDate(card.GetModified(), 1)); });
        }
    }
}

TEST(CardFileRead, TextBlockWithFewerThanFiveZerosGivesEmptyFields) {
    Bytes record = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    const std::string block = std::string("name") + '\0' + "url";  // one zero only, no terminator at the end
    testing::PutLe32(record, static_cast<std::uint32_t>(block.size()));
    testing::PutText(record, block);
    const Bytes next = testing::Record(RawCard{0, 0, 0, 0, 0, "next", "", "", "", ""});
    auto read = ReadBytes(testing::Concat({testing::Header(0), record, next}));
    ASSERT_EQ(read->doc.GetCategoryList(0)->GetCount(), 2);
    const CCard& card = *read->doc.GetCategoryList(0)->GetAt(0);
    EXPECT_EQ(std::string(card.GetFieldText1()), "name");
    EXPECT_EQ(std::string(card.GetFieldText2()), "url");
    EXPECT_TRUE(card.GetFieldText3().empty());
    EXPECT_TRUE(card.GetNote().empty());
    EXPECT_EQ(Name(*read->doc.GetCategoryList(0), 1), "next");
}

TEST(CardFileRead, RecognitionAndItsMessages) {
    struct Case {
        const char* what;
        Bytes bytes;
        std::string path;
        bool ok;
        std::vector<std::string> messages;
        CardFileLayout layout;
    };
    Bytes wrongSignature = testing::Header(0);
    wrongSignature[17] = 0x52;
    Bytes unknownKind = testing::Header(2);
    const Case cases[] = {
        {"empty file", {}, "/x/cards.qdf", true, {"Empty File !"}, CardFileLayout::Empty},
        {"short file", {1, 2, 3}, "/x/cards.qdf", false, {"This is not a Tessarel file."}, CardFileLayout::Current},
        {"wrong signature", wrongSignature, "/x/cards.qdf", false, {"This is not a Tessarel file."}, CardFileLayout::Current},
        {"unknown body kind", unknownKind, "/x/cards.qdf", false, {}, CardFileLayout::Current},
        {"encrypted single file", {1, 2, 3}, "/x/notes.~~~", true, {}, CardFileLayout::EncryptedSingleFile},
    };
    for (const auto& c : cases) {
        auto read = ReadBytes(c.bytes, c.path);
        EXPECT_EQ(read->result.ok, c.ok) << c.what;
        EXPECT_EQ(read->ui.messages, c.messages) << c.what;
        EXPECT_EQ(read->result.layout, c.layout) << c.what;
        EXPECT_FALSE(read->doc.HasCards()) << c.what;
    }
}

TEST(CardFileRead, LoadReadsFromDiskAndReportsWhatIsMissing) {
    testing::TempDir dir;
    const std::string path = dir.File("cards.qdf");
    testing::WriteBytes(path, testing::Concat({testing::Header(0), testing::Record(RawCard{4, 0, 0, 0, 0, "mail", "", "", "", ""})}));
    CCardFileData doc;
    testing::ScriptedUserInterface ui;
    EXPECT_TRUE(LoadCardFile(doc, path, ui).ok);
    EXPECT_EQ(doc.GetCategoryList(4)->GetCount(), 1);

    CCardFileData missing;
    EXPECT_FALSE(LoadCardFile(missing, dir.File("none.qdf"), ui).ok);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0], "Cannot open file " + dir.File("none.qdf") + ": No such file or directory");
}

}  // namespace
}  // namespace tessarel
