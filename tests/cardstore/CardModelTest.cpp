#include <gtest/gtest.h>

#include <functional>

#include "cardstore/CCardFileData.h"

namespace tessarel {
namespace {

std::unique_ptr<CCard> Card(const std::string& name, std::uint8_t code = 0) {
    auto card = std::make_unique<CCard>();
    card->SetFieldText1(name);
    card->SetCategoryCode(code);
    return card;
}

TEST(CardModel, NewCardIsEmpty) {
    CCard card;
    EXPECT_TRUE(card.GetFieldText1().empty());
    EXPECT_EQ(card.GetModified(), 0u);
    EXPECT_EQ(card.GetStatusFlags(), 0);
    EXPECT_EQ(card.ByteSize(), 29u);
}

// The seven texts share one block: every change keeps the others, a text may come from the same
// card, copies are deep, and long texts (lengths of several bytes) come back whole.
TEST(CardModel, TextsShareOneBlockAndKeepEachOther) {
    CCard card;
    const std::string longNote(70000, 'n');
    card.SetTexts("name", "http://x", "user", "pw", longNote, "Custom", "01/02/03");
    card.SetFieldText3(card.GetFieldText1());  // from the same card
    card.SetFieldText2("");
    card.SetDateText(card.GetDateText().substr(3));
    EXPECT_EQ(card.GetFieldText1(), "name");
    EXPECT_EQ(card.GetFieldText2(), "");
    EXPECT_EQ(card.GetFieldText3(), "name");
    EXPECT_EQ(card.GetFieldText4(), "pw");
    EXPECT_EQ(card.GetNote(), longNote);
    EXPECT_EQ(card.GetCategoryName(), "Custom");
    EXPECT_EQ(card.GetDateText(), "02/03");
    EXPECT_EQ(card.ByteSize(), 24u + 4 + 0 + 4 + 2 + longNote.size() + 5);

    CCard copy = card;
    card.SetNote("changed");
    EXPECT_EQ(copy.GetNote(), longNote);
    copy = card;
    EXPECT_EQ(copy.GetNote(), "changed");
    CCard moved = std::move(copy);
    EXPECT_EQ(moved.GetFieldText1(), "name");

    // A name of the frame's table and any other text both come back as set.
    for (const char* name : {"Password Manager", "WWW Pages", "Miscellaneous", "Miscellaneous ", ""}) {
        card.SetCategoryName(name);
        EXPECT_EQ(card.GetCategoryName(), name);
        EXPECT_EQ(card.GetFieldText3(), "name");
    }
    card.SetTexts("", "", "", "", "", "", "");
    EXPECT_EQ(card.ByteSize(), 29u);
    EXPECT_EQ(card.GetCategoryName(), "");
}

TEST(CardModel, BrowserFlagsAreZeroOrOne) {
    CCard card;
    card.SetAutomaticAccess(1);
    EXPECT_EQ(card.GetAutomaticAccess(), 1);
    EXPECT_EQ(card.GetNewBrowserWindow(), 0);
    card.SetNewBrowserWindow(5);
    EXPECT_EQ(card.GetNewBrowserWindow(), 1);
    card.SetAutomaticAccess(0);
    EXPECT_EQ(card.GetAutomaticAccess(), 0);
    EXPECT_EQ(card.GetNewBrowserWindow(), 1);
}

TEST(CardModel, FlagSettersTouchOnlyTheirBit) {
    CCard card;
    card.SetStatusFlags(0x81);
    card.SetDeleted(true);
    EXPECT_EQ(card.GetStatusFlags(), 0x83);
    card.SetEdited(true);
    EXPECT_EQ(card.GetStatusFlags(), 0x87);
    card.SetDeleted(false);
    EXPECT_EQ(card.GetStatusFlags(), 0x85);
}

TEST(CardModel, PointerSettersTakeExactlyTheLength) {
    CCard card;
    const char text[] = {'a', 'b', '\0', 'c', 'd'};
    card.SetNote(text, 5);
    EXPECT_EQ(card.GetNote().size(), 5u);
    card.SetFieldText1("password", 4);
    EXPECT_EQ(std::string_view(card.GetFieldText1()), "pass");
}

TEST(CardList, AddRemoveAndIndexes) {
    CCardList list(kCategories[0].labels);
    EXPECT_EQ(list.RemoveAt(3), 3);  // empty list: the index comes back, nothing changes
    EXPECT_EQ(list.GetCount(), 0);
    EXPECT_EQ(list.Add(Card("a")), 1);
    EXPECT_EQ(list.Add(Card("b")), 2);
    EXPECT_EQ(list.Add(Card("c")), 3);
    auto taken = list.TakeAt(1);
    ASSERT_TRUE(taken);
    EXPECT_EQ(std::string_view(taken->GetFieldText1()), "b");
    EXPECT_EQ(list.GetCount(), 2);
    EXPECT_EQ(std::string_view(list.GetAt(1)->GetFieldText1()), "c");
    EXPECT_EQ(list.RemoveAt(7), 2);  // outside the list: nothing changes
    EXPECT_EQ(list.RemoveAt(-1), 2);
    EXPECT_EQ(list.GetAt(2), nullptr);
    auto old = list.SetAt(Card("z"), 0);
    EXPECT_EQ(std::string_view(old->GetFieldText1()), "a");
    EXPECT_EQ(std::string_view(list.GetAt(0)->GetFieldText1()), "z");
}

TEST(CardList, WhatATreeShowsAdvancesTheShownChangeCountAndNothingElseDoes) {
    CCardList list(kCategories[0].labels);
    for (const char* name : {"a", "b", "c"}) list.Add(Card(name));
    CCard spare;
    spare.SetFieldText1("spare");
    auto outside = Card("f");
    const struct {
        const char* what;
        bool shown;
        std::function<void()> change;
    } cases[] = {
        {"a card added", true, [&] { list.Add(Card("d")); }},
        {"a card taken", true, [&] { (void)list.TakeAt(3); }},
        {"a card replaced", true, [&] { list.SetAt(list.SetAt(Card("e"), 0), 0); }},
        {"a name set", true, [&] { list.GetAt(1)->SetFieldText1("x"); }},
        {"every text set", true, [&] { list.GetAt(1)->SetTexts("y", "", "", "", "", "", ""); }},
        {"a card assigned", true, [&] { *list.GetAt(2) = spare; }},
        {"a list index changed", true, [&] { list.GetAt(0)->SetListIndex(7); }},
        {"a list assigned", true, [&] { list = CCardList(kCategories[1].labels); }},
        {"a list emptied", true, [&] { list.Clear(); }},
        {"a list made", true, [] { CCardList made; }},
        {"nothing taken from an empty list", false, [&] { (void)list.TakeAt(0); }},
        {"nothing replaced outside the list", false, [&] { outside = list.SetAt(std::move(outside), 5); }},
        {"other texts of a card", false, [&] {
             spare.SetFieldText2("2");
             spare.SetFieldText4("4");
             spare.SetNote("note");
             spare.Stamp(1000, 0);
         }},
        {"the same list index again", false, [&] { spare.SetListIndex(spare.GetListIndex()); }},
        {"a card made", false, [] { CCard made; }},
        {"cards and lists read", false, [&] { (void)list.GetCount(), (void)list.GetAt(0), (void)spare.GetFieldText1(); }},
    };
    for (const auto& c : cases) {
        const std::uint64_t before = CCard::ShownChangeCount();
        c.change();
        EXPECT_EQ(CCard::ShownChangeCount() != before, c.shown) << c.what;
    }
}

TEST(CardList, ByteSizeCountsRecordAndTexts) {
    CCardList list;
    auto card = Card("name");
    card->SetNote("line1\r\nline2");
    list.Add(std::move(card));
    list.Add(Card(""));
    EXPECT_EQ(list.ByteSize(), (29u + 4 + 12) + 29u);
}

TEST(CategoryTable, LabelsAndWidths) {
    CCardFileData doc;
    std::string a = "x", b = "x", c = "x", d = "x";
    EXPECT_EQ(doc.GetCategoryLabels(0, a, b, c, d), 9);
    EXPECT_EQ(a + b + c + d, "Name:URL:User ID:Password:");
    EXPECT_EQ(doc.GetCategoryLabels(13, a, b, c, d), 13);
    EXPECT_EQ(a, "Organisation:");
    EXPECT_EQ(doc.GetCategoryLabels(6, a, b, c, d), 11);
    EXPECT_EQ(b, "POP Server:");

    std::string w = "keep", x = "keep", y = "keep", z = "keep";
    doc.GetCategoryLabels(15, w, x, y, z);
    EXPECT_EQ(w + x + y + z, "keepkeepkeepkeep");
    doc.GetCategoryLabelsByName("Password Manager", w, x, y, z);
    EXPECT_EQ(w, "keep");
    EXPECT_EQ(doc.GetCategoryLabelsByName("Bank Accounts", w, x, y, z), 15);
    EXPECT_EQ(z, "Account Number:");
    EXPECT_EQ(doc.GetCategoryLabelsByName("bank accounts", w, x, y, z), 0);  // names are case-sensitive

    const auto& deleted = doc.GetDeletedList().GetLabels();
    EXPECT_EQ(deleted[0] + deleted[3], "Field_1Field_4");
}

TEST(CategoryTable, CodesAreNotTheFrameOrder) {
    EXPECT_EQ(CategoryName(5), "Login Accounts");
    EXPECT_EQ(CategoryName(6), "POP Accounts");
    EXPECT_EQ(CategoryName(10), "Personal Data");
    EXPECT_EQ(CategoryName(15), "");
    EXPECT_EQ(kFrameCategoryNames.size(), 17u);
    EXPECT_EQ(kFrameCategoryNames[6], "POP Accounts");
}

TEST(CardFileData, DeletingMovesTheCardButKeepsItCounted) {
    CCardFileData doc;
    EXPECT_FALSE(doc.HasCards());
    doc.GetCategoryList(2)->Add(Card("ftp", 2));
    doc.GetCategoryList(2)->Add(Card("other", 2));
    ASSERT_TRUE(doc.DeleteCard(2, 0));
    EXPECT_EQ(doc.GetCategoryList(2)->GetCount(), 1);
    ASSERT_EQ(doc.GetDeletedList().GetCount(), 1);
    const CCard* deleted = doc.GetDeletedList().GetAt(0);
    EXPECT_TRUE(deleted->IsDeleted());
    EXPECT_EQ(deleted->GetCategoryCode(), 2);
    ASSERT_TRUE(doc.DeleteCard(2, 0));
    EXPECT_EQ(doc.GetCategoryList(2)->GetCount(), 0);
    EXPECT_TRUE(doc.HasCards());  // deleted cards still count
    EXPECT_FALSE(doc.DeleteCard(2, 0));
    EXPECT_FALSE(doc.DeleteCard(15, 0));
}

}  // namespace
}  // namespace tessarel
