// Copy, Cut and Paste on the card clipboard (category tree) and on the system clipboard (field
// list), with the flags, the messages and the card that outlives its file.
#include <QApplication>
#include <QClipboard>

#include "CardsFixture.h"
#include "cardstore/CardTime.h"
#include "framework/CommandIds.h"
#include "resources/ResourceIds.h"

namespace tessarel::test {
namespace {

using ClipboardTest = CardsFixture;

TEST_F(ClipboardTest, CopyAndPasteIntoAnotherCategory) {
    CCard* source = AddCard("Bank Accounts", CardFields{"savings", "1234", "me", "0000", "kept"});
    MakeTreeActive();
    EXPECT_TRUE(Run(cmd::EditCopy));
    EXPECT_EQ(frame->GetCardClipboard().full, 1);
    EXPECT_EQ(frame->GetCardClipboard().cut, 0);
    SelectCategory("Credit Cards");
    EXPECT_TRUE(app->QueryCommand(cmd::EditPaste).enabled);
    EXPECT_TRUE(Run(cmd::EditPaste));
    EXPECT_EQ(CardNames("Credit Cards"), QStringList({"Copy of savings"}));
    EXPECT_EQ(SelectedText(), "Copy of savings");
    CCard* pasted = Tree()->GetCurrentCard();
    ASSERT_NE(pasted, nullptr);
    EXPECT_NE(pasted, source);
    EXPECT_EQ(pasted->GetCategoryCode(), 8);
    EXPECT_EQ(std::string(pasted->GetFieldText4()), "0000");
    EXPECT_EQ(std::string(pasted->GetNote()), "kept");
    EXPECT_EQ(frame->GetCardClipboard().full, 0);
    EXPECT_FALSE(app->QueryCommand(cmd::EditPaste).enabled);
    EXPECT_EQ(CardNames("Bank Accounts"), QStringList({"savings"}));
}

TEST_F(ClipboardTest, CutMovesTheCardWithItsNameAndDeletesNothing) {
    AddCard("Newsgroups", "news a");
    AddCard("Newsgroups", "news b");
    SelectCard("Newsgroups", "news a");
    MakeTreeActive();
    EXPECT_TRUE(Run(cmd::EditCut));
    EXPECT_EQ(frame->GetCardClipboard().full, 1);
    EXPECT_EQ(frame->GetCardClipboard().cut, 1);
    EXPECT_EQ(CardNames("Newsgroups"), QStringList({"news b"}));
    EXPECT_EQ(SelectedText(), "Newsgroups");
    EXPECT_EQ(CategoryCount(), "1");
    EXPECT_EQ(TotalCount(), "1");
    EXPECT_EQ(Doc()->GetDeletedList().GetCount(), 0);
    SelectCategory("Miscellaneous");
    EXPECT_TRUE(Run(cmd::EditPaste));
    EXPECT_EQ(CardNames("Miscellaneous"), QStringList({"news a"}));
    EXPECT_EQ(frame->GetCardClipboard().cut, 0);
    EXPECT_EQ(Doc()->GetDeletedList().GetCount(), 0);
    EXPECT_EQ(TotalCount(), "2");
}

TEST_F(ClipboardTest, PasteReachesACardWhoseFileHasClosed) {
    AddCard("Serial Numbers", CardFields{"serial", "", "", "XYZ-1", ""});
    MakeTreeActive();
    EXPECT_TRUE(Run(cmd::EditCopy));
    Doc()->SetModifiedFlag(false);
    app->GetDocManager().CloseAllDocuments();
    Settle();
    EXPECT_TRUE(app->QueryCommand(cmd::EditPaste).enabled);
    ASSERT_NE(NewFile(), nullptr);
    SelectCategory("Serial Numbers");
    MakeTreeActive();
    EXPECT_TRUE(Run(cmd::EditPaste));
    ASSERT_EQ(Doc()->GetCategoryList(12)->GetCount(), 1);
    EXPECT_EQ(std::string(Doc()->GetCategoryList(12)->GetAt(0)->GetFieldText4()), "XYZ-1");
    EXPECT_EQ(SelectedText(), "Copy of serial");
}

TEST_F(ClipboardTest, FieldListCopyAndCutUseTheSystemClipboardInClear) {
    CCard* card = AddCard("WWW Sites", CardFields{"site", "http://a", "user", "topsecret", ""});
    card->SetAutomaticAccess(1);
    const std::string date(card->GetDateText());
    MakeListActive();
    ClickRow(3);
    EXPECT_TRUE(Run(cmd::EditCopy));
    EXPECT_EQ(QApplication::clipboard()->text(), "topsecret");
    EXPECT_EQ(frame->GetCardClipboard().full, 1);
    EXPECT_EQ(frame->GetCardClipboard().cut, 0);

    MakeListActive();
    ClickRow(3);
    EXPECT_TRUE(Run(cmd::EditCut));
    EXPECT_EQ(QApplication::clipboard()->text(), "topsecret");
    EXPECT_TRUE(card->GetFieldText4().empty());
    EXPECT_EQ(frame->GetCardClipboard().cut, 1);
    EXPECT_EQ(SelectedText(), "site");
    EXPECT_EQ(List()->RowValue(3), "");

    // Row 5 of a browser card shows the option, yet Cut takes the date.
    MakeListActive();
    ClickRow(5);
    EXPECT_TRUE(Run(cmd::EditCut));
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(), date);
    EXPECT_EQ(card->GetModified(), 0u);
    EXPECT_EQ(card->GetAutomaticAccess(), 1);
}

TEST_F(ClipboardTest, FieldListPaste) {
    CCard* card = AddCard("Membership Numbers", CardFields{"club", "", "", "", ""});
    // Paste is enabled by a Copy; a Paste in the field list leaves the flags as they are.
    MakeListActive();
    ClickRow(0);
    EXPECT_TRUE(Run(cmd::EditCopy));
    MakeListActive();
    ClickRow(1);
    QApplication::clipboard()->clear();
    EXPECT_TRUE(Run(cmd::EditPaste));
    EXPECT_EQ(Messages(), std::vector<std::string>{"Unable to get Clipboard data."});
    EXPECT_EQ(frame->GetCardClipboard().full, 1);
    EXPECT_TRUE(card->GetFieldText2().empty());

    MakeListActive();
    ClickRow(1);
    QApplication::clipboard()->setText("www.club.example");
    EXPECT_TRUE(Run(cmd::EditPaste));
    EXPECT_EQ(std::string(card->GetFieldText2()), "www.club.example");
    EXPECT_EQ(SelectedText(), "club");

    // The date row reads the legacy date text; a text it cannot read changes nothing.
    const std::uint32_t before = card->GetModified();
    MakeListActive();
    ClickRow(5);
    QApplication::clipboard()->setText("no date");
    EXPECT_TRUE(Run(cmd::EditPaste));
    EXPECT_EQ(card->GetModified(), before);
    MakeListActive();
    ClickRow(5);
    QApplication::clipboard()->setText("24-12-2003");
    EXPECT_TRUE(Run(cmd::EditPaste));
    EXPECT_EQ(card->GetModified(), LegacyDateToTimeStamp("24-12-2003"));
    EXPECT_EQ(List()->RowValue(5), "12/24/03");
}

TEST_F(ClipboardTest, AClickOnAnotherCardsRowDoesNotCarryOver) {
    CCard* first = AddCard("Personal Data", CardFields{"passport", "", "", "P123", ""});
    CCard* second = AddCard("Personal Data", CardFields{"licence", "", "", "L456", ""});
    SelectCard("Personal Data", "passport");
    MakeListActive();
    ClickRow(3);
    SelectCard("Personal Data", "licence");
    MakeListActive();
    EXPECT_EQ(List()->clickedRow, -1);
    EXPECT_TRUE(Run(cmd::EditCut));
    EXPECT_EQ(std::string(first->GetFieldText4()), "P123");
    EXPECT_EQ(std::string(second->GetFieldText4()), "L456");
}

}  // namespace
}  // namespace tessarel::test
