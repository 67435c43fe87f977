// From read entries to cards: text Windows-1252 cannot hold, duplicates, time stamps, and the
// round trip through our KeePassXC CSV export and import.
#include <gtest/gtest.h>

#include "cardstore/CardTime.h"
#include "cardstore/CategoryTable.h"
#include "exchange/CardImporter.h"
#include "exchange/ExchangeTime.h"
#include "exchange/KeePassXcCsvReader.h"
#include "exchange/KeePassXcCsvWriter.h"

namespace tessarel {
namespace {

ImportedCard Entry(int code, std::string name, std::string url, std::string user, std::string password, std::string note,
                   std::string origin = "line 2") {
    ImportedCard card;
    card.categoryCode = code;
    card.fields = {SecureString(name), SecureString(url), SecureString(user), SecureString(password)};
    card.note.assign(note);
    card.origin = std::move(origin);
    return card;
}

std::vector<const CCard*> Cards(const CCardFileData& data) {
    std::vector<const CCard*> cards;
    for (int code = 0; code < kCategoryCount; ++code) {
        for (const auto& card : *data.GetCategoryList(code)) cards.push_back(card.get());
    }
    return cards;
}

TEST(CardImporter, TextOutsideWindows1252IsRefusedSkippedOrReplacedAsChosen) {
    // "é" and "€" are in the set; "☕" (U+2615) and "ā" (U+0101) are not.
    const std::vector<ImportedCard> entries = {
        Entry(0, "Caf\xC3\xA9 \xE2\x82\xAC", "https://cafe.example", "u", "p", "fine"),
        Entry(0, "Tea \xE2\x98\x95", "https://tea.example", "u", "p\xC4\x81", "cup \xE2\x98\x95", "line 3"),
    };
    struct Case {
        UnsupportedText choice;
        bool refused;
        std::size_t cards;
        std::vector<std::string> summary;
    };
    const Case cases[] = {
        {UnsupportedText::Refuse, true, 0,
         {"Nothing imported: 1 entries hold text that Windows-1252 cannot hold. Skip those entries, or replace the characters with \"?\":",
          "  line 3 \"Tea \xE2\x98\x95\" (WWW Sites): Name: U+2615; Password: 1 character (not shown); Note: U+2615"}},
        {UnsupportedText::Skip, false, 1,
         {"Cards to add: 1 WWW Sites (1 in all).", "Skipped, text that Windows-1252 cannot hold: 1:",
          "  line 3 \"Tea \xE2\x98\x95\" (WWW Sites): Name: U+2615; Password: 1 character (not shown); Note: U+2615"}},
        {UnsupportedText::Replace, false, 2,
         {"Cards to add: 2 WWW Sites (2 in all).", "Changed, characters replaced by \"?\": 1:",
          "  line 3 \"Tea \xE2\x98\x95\" (WWW Sites): Name: U+2615; Password: 1 character (not shown); Note: U+2615 replaced by \"?\""}},
    };
    for (const auto& c : cases) {
        CCardFileData data;
        ImportPlan plan = ImportPlan::Make(entries, data, {c.choice, false, 4});
        EXPECT_EQ(plan.Refused(), c.refused);
        EXPECT_EQ(plan.Summary(), c.summary);
        plan.ApplyTo(data);
        const auto cards = Cards(data);
        ASSERT_EQ(cards.size(), c.cards);
        if (!cards.empty()) {
            EXPECT_EQ(std::string(cards[0]->GetFieldText1()), "Caf\xE9 \x80");
        }
        if (c.cards == 2) {
            EXPECT_EQ(std::string(cards[1]->GetFieldText1()), "Tea ?");
            EXPECT_EQ(std::string(cards[1]->GetFieldText4()), "p?");
        }
    }
}

TEST(CardImporter, ZeroBytesBadUtf8AndOverlongTextAreReported) {
    const std::vector<ImportedCard> entries = {
        Entry(14, std::string("nul\0byte", 8), "", "", "", "bad \xFF utf8"),
        Entry(14, "long", "", "", "", std::string(40000, 'x'), "line 3"),
    };
    CCardFileData data;
    ImportPlan plan = ImportPlan::Make(entries, data, {UnsupportedText::Replace, false, 0});
    // Overlong text cannot be mended by replacing characters, so that card is skipped.
    EXPECT_EQ(plan.Changed(), std::vector<std::string>{"line 2 \"" + std::string("nul\0byte", 8) +
                                                       "\" (Miscellaneous): Name: U+0000; Note: U+FFFD replaced by \"?\""});
    EXPECT_EQ(plan.Skipped(), std::vector<std::string>{"line 3 \"long\" (Miscellaneous): Note: 40000 bytes long; card texts are shorter than 32767"});
    plan.ApplyTo(data);
    ASSERT_EQ(Cards(data).size(), 1u);
    EXPECT_EQ(std::string(Cards(data)[0]->GetFieldText1()), "nul?byte");
}

TEST(CardImporter, TheSameSourceTwiceDoesNotDoubleTheCardsUnlessAllowed) {
    const std::vector<ImportedCard> entries = {
        Entry(0, "Shop", "https://shop.example", "alice", "one", ""),
        Entry(0, "Shop", "https://shop.example", "bob", "two", "", "line 3"),     // another user: a card of its own
        Entry(8, "Shop", "https://shop.example", "alice", "three", "", "line 4"), // another category: a card of its own
        Entry(0, "Shop", "https://shop.example", "alice", "changed", "", "line 5"),  // the source's own twin: kept
    };
    CCardFileData data;
    ImportPlan first = ImportPlan::Make(entries, data, {});
    EXPECT_TRUE(first.Duplicates().empty());
    first.ApplyTo(data);
    EXPECT_EQ(Cards(data).size(), 4u);

    ImportPlan again = ImportPlan::Make(entries, data, {});
    EXPECT_EQ(again.CardCount(), 0u);
    EXPECT_EQ(again.Summary(), (std::vector<std::string>{"Cards to add: none.", "Skipped, already in the card file: 4:",
                                                         "  line 2 \"Shop\" (WWW Sites)", "  line 3 \"Shop\" (WWW Sites)",
                                                         "  line 4 \"Shop\" (Credit Cards)", "  line 5 \"Shop\" (WWW Sites)"}));

    ImportPlan allowed = ImportPlan::Make(entries, data, {UnsupportedText::Refuse, true, 0});
    allowed.ApplyTo(data);
    EXPECT_EQ(Cards(data).size(), 8u);
}

TEST(CardImporter, SourceDatesBecomeTheCardsTimeStamp) {
    ImportedCard dated = Entry(0, "Dated", "https://d.example", "", "", "");
    dated.modifiedUtc = 1709292645;  // 2024-03-01 11:30:45 UTC, 12:30:45 in Berlin
    CCardFileData data;
    ImportPlan plan = ImportPlan::Make({dated, Entry(0, "Undated", "", "", "", "", "line 3")}, data, {UnsupportedText::Refuse, false, 4});
    plan.ApplyTo(data);
    const auto cards = Cards(data);
    ASSERT_EQ(cards.size(), 2u);
    EXPECT_EQ(cards[0]->GetModified(), 1709292645u + 3600u + kSecondsFrom1904To1970);
    EXPECT_EQ(std::string(cards[0]->GetDateText()), "2024-03-01");
    EXPECT_GT(cards[1]->GetModified(), cards[0]->GetModified());  // today
    EXPECT_EQ(IsoUtcFromCardStamp(cards[0]->GetModified()), "2024-03-01T11:30:45Z");
}

TEST(KeePassXcCsvRoundTrip, OurExportReadBackGivesTheSameCards) {
    CCardFileData original;
    struct Source {
        int code;
        std::string f1, f2, f3, f4, note;
        std::uint32_t modified;
    };
    // Summer and winter time, every kind of CSV trouble, Windows-1252 letters, and the category
    // whose name holds a "/".
    const Source sources[] = {
        {0, "Shop \"best\", online", "https://shop.example", "alice", "p,w\"", "line 1\r\nline 2\r\n\r\nGroup: not a group line", 3800000000u},
        {8, "Visa", "12/27", "4111 1111", "1234", "", 3780000000u},
        {9, "Bank ATM", "Sparkasse", "+49 30 1", "4321", "caf\xE9 \x80", 3700000000u},
        {14, "Empty", "", "", "", "", 3790000000u},
        {10, "Pass", "Passport", "Berlin 2020", "X123", "=1+2", 3795000000u},
        {10, "Pass", "Passport", "Berlin 2020", "X124", "a twin", 3795000000u},
    };
    for (const auto& s : sources) {
        auto card = std::make_unique<CCard>();
        card->SetCategoryCode(static_cast<std::uint8_t>(s.code));
        card->SetFieldText1(s.f1);
        card->SetFieldText2(s.f2);
        card->SetFieldText3(s.f3);
        card->SetFieldText4(s.f4);
        card->SetNote(s.note);
        card->SetModified(s.modified);
        original.PlaceCard(std::move(card));
    }
    auto deleted = std::make_unique<CCard>();
    deleted->SetFieldText1("gone");
    deleted->SetDeleted(true);
    original.PlaceCard(std::move(deleted));

    const ImportRead read = ReadKeePassXcCsv(WriteKeePassXcCsv(original));
    ASSERT_EQ(read.error, "");
    CCardFileData copy;
    ImportPlan plan = ImportPlan::Make(read.cards, copy, {});
    ASSERT_FALSE(plan.Refused());
    plan.ApplyTo(copy);

    const auto before = Cards(original);
    const auto after = Cards(copy);
    ASSERT_EQ(after.size(), before.size());  // the deleted card is not exported
    for (std::size_t i = 0; i < before.size(); ++i) {
        EXPECT_EQ(after[i]->GetCategoryCode(), before[i]->GetCategoryCode()) << i;
        EXPECT_EQ(after[i]->GetFieldText1(), before[i]->GetFieldText1()) << i;
        EXPECT_EQ(after[i]->GetFieldText2(), before[i]->GetFieldText2()) << i;
        EXPECT_EQ(after[i]->GetFieldText3(), before[i]->GetFieldText3()) << i;
        EXPECT_EQ(after[i]->GetFieldText4(), before[i]->GetFieldText4()) << i;
        EXPECT_EQ(after[i]->GetNote(), before[i]->GetNote()) << i;
        EXPECT_EQ(after[i]->GetModified(), before[i]->GetModified()) << i;
    }
}

TEST(KeePassXcCsvWriter, WritesTheColumnsKeePassXcMapsByItself) {
    CCardFileData data;
    auto card = std::make_unique<CCard>();
    card->SetCategoryCode(9);
    card->SetFieldText1("ATM");
    card->SetFieldText2("Bank");
    card->SetFieldText3("Tel");
    card->SetFieldText4("0000");
    card->SetNote("a\r\nb");
    card->SetModified(3786912000u);  // 2024-01-01 00:00 local (Berlin: 23:00 UTC the day before)
    data.PlaceCard(std::move(card));
    EXPECT_EQ(std::string(WriteKeePassXcCsv(data)),
              "\"Group\",\"Title\",\"Username\",\"Password\",\"URL\",\"Notes\",\"TOTP\",\"Icon\",\"Last Modified\",\"Created\"\n"
              "\"Root/ATM/PIN Cards\",\"ATM\",\"Tel\",\"0000\",\"Bank\",\"a\nb\",\"\",\"0\",\"2023-12-31T23:00:00Z\",\"2023-12-31T23:00:00Z\"\n");
}

}  // namespace
}  // namespace tessarel
