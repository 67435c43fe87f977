// The category tree: roots, sorted cards, First/Last in list order, the status counts, pictures,
// activation of a card window and the double click.
#include <QDialog>
#include <QTest>

#include "CardsFixture.h"
#include "cardstore/CardFileFormat.h"
#include "framework/CommandIds.h"
#include "framework/Dialog.h"
#include "resources/ResourceIds.h"

namespace tessarel::test {
namespace {

using CategoryTreeTest = CardsFixture;

TEST_F(CategoryTreeTest, ANewFileShowsTheFifteenCategoriesWithWwwSitesSelected) {
    const QStringList expected = {"WWW Sites",     "WWW Forms",     "FTP Servers",   "Newsgroups",     "E-Mail Contacts",
                                  "Login Accounts", "POP Accounts",  "Bank Accounts", "Credit Cards",  "ATM/PIN Cards",
                                  "Personal Data", "Software Keys", "Serial Numbers", "Membership Numbers", "Miscellaneous"};
    ASSERT_EQ(Tree()->topLevelItemCount(), 15);
    for (int code = 0; code < 15; ++code) {
        QTreeWidgetItem* root = Tree()->topLevelItem(code);
        EXPECT_EQ(root->text(0), expected[code]);
        EXPECT_EQ(root->childCount(), 0);
        EXPECT_EQ(CTessarelView::ImageOf(root), 0);
        EXPECT_EQ(Tree()->GetCategoryItem(code), root);
    }
    EXPECT_EQ(Tree()->GetCategoryItem(15), nullptr);
    EXPECT_EQ(Tree()->FindCategoryItem("Password Manager"), nullptr);
    EXPECT_EQ(SelectedText(), "WWW Sites");
    EXPECT_EQ(List()->RowCount(), 0);
    EXPECT_EQ(List()->headerItem()->text(0), "Field");
    EXPECT_EQ(List()->headerItem()->text(1), "Data");
    EXPECT_EQ(CategoryCount(), "0");
    EXPECT_EQ(TotalCount(), "0");
}

TEST_F(CategoryTreeTest, CardsShowSortedWhileFirstAndLastFollowTheListOrder) {
    AddCard("WWW Forms", "b");
    AddCard("WWW Forms", "A");
    EXPECT_EQ(CardNames("WWW Forms"), QStringList({"A", "b"}));
    QTreeWidgetItem* forms = Tree()->FindCategoryItem("WWW Forms");
    EXPECT_EQ(CTessarelView::CardIndexOf(forms->child(0)), 1);
    EXPECT_EQ(CTessarelView::ImageOf(forms->child(0)), 2);

    SelectCategory("WWW Forms");
    EXPECT_TRUE(Run(res::LastCard));
    EXPECT_EQ(SelectedText(), "A");
    EXPECT_EQ(Tree()->GetCurrentCardIndex(), 1);
    EXPECT_TRUE(Run(res::FirstCard));
    EXPECT_EQ(SelectedText(), "b");
    EXPECT_EQ(Tree()->GetCurrentCardIndex(), 0);
    EXPECT_EQ(frame->GetSelectedCardIndex(), 0);
}

TEST_F(CategoryTreeTest, SelectionFillsTheFieldListAndTheCounts) {
    AddCard("WWW Sites", "one");
    AddCard("WWW Sites", "two");
    AddCard("Bank Accounts", "bank");
    SelectCard("Bank Accounts", "bank");
    EXPECT_EQ(CategoryCount(), "1");
    EXPECT_EQ(TotalCount(), "3");
    EXPECT_EQ(frame->GetCardSelectedFlag(), 1);
    EXPECT_EQ(List()->RowLabel(0), "Bank:");
    EXPECT_EQ(List()->RowValue(0), "bank");

    SelectCategory("WWW Sites");
    EXPECT_EQ(CategoryCount(), "2");
    EXPECT_EQ(TotalCount(), "3");
    EXPECT_EQ(List()->RowCount(), 0);
    EXPECT_EQ(frame->GetCardSelectedFlag(), 0);
    EXPECT_EQ(Tree()->GetCurrentCard(), nullptr);
    EXPECT_FALSE(app->QueryCommand(res::DeleteCard).enabled);
    EXPECT_FALSE(app->QueryCommand(cmd::EditCut).enabled);
}

TEST_F(CategoryTreeTest, ExpandingSwapsTheCategoryPictureOnly) {
    AddCard("FTP Servers", "ftp");
    QTreeWidgetItem* ftp = Tree()->FindCategoryItem("FTP Servers");
    EXPECT_EQ(CTessarelView::ImageOf(ftp), 1);  // New Card expanded it
    Tree()->collapseItem(ftp);
    EXPECT_EQ(CTessarelView::ImageOf(ftp), 0);
    Tree()->expandItem(ftp);
    EXPECT_EQ(CTessarelView::ImageOf(ftp), 1);
    EXPECT_EQ(CTessarelView::ImageOf(ftp->child(0)), 2);
}

TEST_F(CategoryTreeTest, ActivatingACardWindowShowsTheCountOfWwwSites) {
    AddCard("WWW Sites", "site");
    AddCard("Bank Accounts", "bank a");
    AddCard("Bank Accounts", "bank b");
    CChildFrame* first = Child();
    SelectCategory("Bank Accounts");
    EXPECT_EQ(CategoryCount(), "2");
    ASSERT_NE(NewFile(), nullptr);
    EXPECT_EQ(TotalCount(), "0");
    frame->ActivateChild(first);
    Settle();
    EXPECT_EQ(CategoryCount(), "1");
    EXPECT_EQ(TotalCount(), "3");
    EXPECT_EQ(SelectedText(), "Bank Accounts");
}

// Delete, Edit and Cut follow the card selection of the window in front, not of one that went
// behind or closed.
TEST_F(CategoryTreeTest, TheCardCommandsFollowTheSelectionOfTheWindowInFront) {
    auto cardCommandsEnabled = [this] {
        return std::vector<bool>{app->QueryCommand(res::DeleteCard).enabled, app->QueryCommand(res::EditCard).enabled,
                                 app->QueryCommand(cmd::EditCut).enabled};
    };
    const std::vector<bool> on{true, true, true}, off{false, false, false};
    AddCard("WWW Sites", "site");
    CChildFrame* first = Child();
    EXPECT_EQ(cardCommandsEnabled(), on);
    ASSERT_NE(NewFile(), nullptr);
    EXPECT_EQ(cardCommandsEnabled(), off) << "the new window has a category selected";
    frame->ActivateChild(first);
    Settle();
    EXPECT_EQ(cardCommandsEnabled(), on);

    Doc()->SetModifiedFlag(false);
    Doc()->OnCloseDocument();
    Settle();
    EXPECT_EQ(cardCommandsEnabled(), off) << "the window with the selected card is gone";
    for (Document* document : app->GetDocManager().GetDocuments()) document->OnCloseDocument();
    Settle();
    ASSERT_NE(NewFile(), nullptr);
    EXPECT_EQ(cardCommandsEnabled(), off);
}

TEST_F(CategoryTreeTest, DoubleClickOnACardEditsItAndOnACategoryDoesNothing) {
    AddCard("Credit Cards", "visa");
    QTreeWidgetItem* credit = Tree()->FindCategoryItem("Credit Cards");
    auto centre = [this](QTreeWidgetItem* item) { return Tree()->visualItemRect(item).center(); };
    Tree()->setCurrentItem(credit);
    QTest::mouseDClick(Tree()->viewport(), Qt::LeftButton, {}, centre(credit));
    Settle();
    EXPECT_EQ(dialogs->Events().size(), 1u);  // only the New Card dialog so far

    Tree()->expandItem(credit);
    dialogs->RunDialog([](Dialog&) { return int(QDialog::Rejected); });
    QTest::mouseClick(Tree()->viewport(), Qt::LeftButton, {}, centre(credit->child(0)));
    QTest::mouseDClick(Tree()->viewport(), Qt::LeftButton, {}, centre(credit->child(0)));
    Settle();
    ASSERT_EQ(dialogs->Events().size(), 2u);
    EXPECT_EQ(dialogs->Events().back().dialogTitle, "Edit Card");
    EXPECT_EQ(SelectedText(), "visa");
}

TEST_F(CategoryTreeTest, RightClickSelectsNothing) {
    AddCard("ATM/PIN Cards", "atm");
    QTreeWidgetItem* atm = Tree()->FindCategoryItem("ATM/PIN Cards");
    SelectCategory("WWW Sites");
    QTest::mouseClick(Tree()->viewport(), Qt::RightButton, {}, Tree()->visualItemRect(atm->child(0)).center());
    EXPECT_EQ(SelectedText(), "WWW Sites");
    EXPECT_EQ(frame->GetCardSelectedFlag(), 0);
}

class SilentUi : public UserInterface {
public:
    MessageAnswer ShowMessage(const Message&) override { return MessageAnswer::Ok; }
    std::optional<std::string> AskPassword(const std::string&) override { return std::nullopt; }
};

TEST_F(CategoryTreeTest, DeletedCardsAreNeitherShownNorCounted) {
    CCardFileData data;
    for (int i = 0; i < 5; ++i) {
        auto card = std::make_unique<CCard>();
        card->SetFieldText1("card " + std::to_string(i));
        card->SetCategoryCode(static_cast<std::uint8_t>(i % 2 == 0 ? 0 : 11));
        card->SetDeleted(i >= 3);
        data.PlaceCard(std::move(card));
    }
    SilentUi ui;
    ASSERT_TRUE(SaveCardFile(data, Path("mixed.qdf").toStdString(), ui).ok);
    ASSERT_NE(app->GetDocManager().OpenDocumentFile(Path("mixed.qdf")), nullptr);
    Settle();
    EXPECT_EQ(Doc()->GetDeletedList().GetCount(), 2);
    EXPECT_EQ(CardNames("WWW Sites"), QStringList({"card 0", "card 2"}));
    EXPECT_EQ(CardNames("Software Keys"), QStringList({"card 1"}));
    EXPECT_EQ(CategoryCount(), "2");
    EXPECT_EQ(TotalCount(), "3");
    EXPECT_EQ(Tree()->CountAllCards(), 3);
}

}  // namespace
}  // namespace tessarel::test
