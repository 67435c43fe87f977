// The search of Find / Find Again and the rows of the card field list, shared by the program and
// the command-line tool.
#include <gtest/gtest.h>

#include "cardstore/CardFieldRows.h"
#include "cardstore/CardSearch.h"
#include "cardstore/CardTime.h"
#include "cardstore/LegacyDateText.h"

namespace tessarel {
namespace {

CCard* Add(CCardFileData& data, int code, const std::string& name, const std::string& password = {},
           const std::string& note = {}) {
    auto card = std::make_unique<CCard>();
    card->SetFieldText1(name);
    card->SetFieldText4(password);
    card->SetNote(note);
    card->SetCategoryCode(static_cast<std::uint8_t>(code));
    CCard* raw = card.get();
    data.PlaceCard(std::move(card));
    return raw;
}

TEST(CardSearch, PopAccountsComeBeforeLoginAccountsAndDeletedCardsAreLeftOut) {
    CCardFileData data;
    CCard* login = Add(data, 5, "login abc");
    CCard* pop = Add(data, 6, "pop abc");
    CCard* site = Add(data, 0, "site abc");
    auto gone = std::make_unique<CCard>();
    gone->SetFieldText1("deleted abc");
    gone->SetDeleted(true);
    data.PlaceCard(std::move(gone));
    EXPECT_EQ(SearchCards(data, "abc", false), (std::vector<const CCard*>{site, pop, login}));
}

TEST(CardSearch, CaseRulesAndFields) {
    CCardFileData data;
    CCard* noted = Add(data, 1, "first", "", "line\r\nABC");
    CCard* secret = Add(data, 1, "second", "pw-only-here");
    struct Case {
        const char* text;
        bool ignoreCase;
        std::vector<const CCard*> found;
    };
    for (const Case& c : {Case{"abc", false, {}}, Case{"abc", true, {noted}}, Case{"ABC", false, {noted}},
                          Case{"only-here", false, {secret}}, Case{"\xe9", true, {}}}) {
        EXPECT_EQ(SearchCards(data, c.text, c.ignoreCase), c.found) << c.text << " " << c.ignoreCase;
    }
    // Only a to z fold: a lower-case accented letter does not meet its capital.
    Add(data, 1, "caf\xc9");
    EXPECT_TRUE(SearchCards(data, "caf\xe9", true).empty());
}

TEST(CardSearch, FindNextMatchStartsWhereAskedAndDoesNotWrap) {
    CCardFileData data;
    Add(data, 0, "x1");
    Add(data, 0, "other");
    Add(data, 1, "x2");
    const auto list = BuildSearchList(data);
    EXPECT_EQ(FindNextMatch(list, "x", false, 0), 0);
    EXPECT_EQ(FindNextMatch(list, "x", false, 1), 2);
    EXPECT_EQ(FindNextMatch(list, "x", false, 3), -1);
}

TEST(CardFieldRows, NoteSummaries) {
    const std::string seventy = "aaaaaaaaa bbbbbbbbb ccccccccc ddddddddd eeeeeeeee fffffffffgggggggggggggggggggg";
    struct Case {
        std::string note;
        std::string summary;
    } cases[] = {
        {"first line\r\nsecond", "first line..."},
        {"bare\nfeed", "bare..."},
        {"\nstarts with a break", "..."},
        {"short note", "short note"},
        {std::string(60, 'n'), std::string(60, 'n')},
        {seventy, "aaaaaaaaa bbbbbbbbb ccccccccc ddddddddd eeeeeeeee..."},
        {std::string(61, 'n'), std::string(60, 'n') + "..."},
        {std::string(60, 'a') + " tail", std::string(60, 'a') + "..."},
    };
    for (const Case& c : cases) EXPECT_EQ(NoteSummary(c.note), c.summary) << c.note;
}

TEST(CardFieldRows, RowsByCategory) {
    CCard forms;
    forms.SetCategoryCode(1);
    forms.SetFieldText4(std::string(300, 'p'));
    forms.SetDateText("01-02-2003");
    auto rows = CardFieldRows(forms, false);
    ASSERT_EQ(rows.size(), 6u);
    EXPECT_EQ(rows[3].second, std::string(255, '*'));
    EXPECT_EQ(rows[5], (FieldRow{"Date:", "01-02-2003"}));
    EXPECT_EQ(CardFieldRows(forms, true)[3].second, std::string(300, 'p'));

    CCard site;
    site.SetAutomaticAccess(1);
    rows = CardFieldRows(site, false);
    ASSERT_EQ(rows.size(), 8u);
    EXPECT_EQ(rows[5], (FieldRow{"Automatic Access:", "On"}));
    EXPECT_EQ(rows[6], (FieldRow{"New Browser Window:", "Off"}));
    EXPECT_EQ(rows[7].first, "Date:");
    EXPECT_EQ(rows[0].first, "Name:");
    EXPECT_EQ(rows[4], (FieldRow{"Note:", ""}));
}

TEST(LegacyDateText, ReadsOnlyWhatTheRuleCanRead) {
    EXPECT_EQ(ReadLegacyDateText("24-12-2003"), 3155068800u);  // 2003-12-24 00:00
    EXPECT_EQ(ReadLegacyDateText("99/12/24"), 3028838400u);    // 1999-12-24 00:00
    EXPECT_EQ(ReadLegacyDateText("29-02-2000"), 3034627200u);  // 2000-02-29 00:00
    for (const char* bad : {"", "yesterday", "24-13-2003", "00-12-2003", "24-12", "12/31/24", "ab-cd-efgh"})
        EXPECT_FALSE(ReadLegacyDateText(bad).has_value()) << bad;
}

}  // namespace
}  // namespace tessarel
