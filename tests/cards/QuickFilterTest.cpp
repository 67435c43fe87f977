// The quick filter through real widgets: typing into the field filters the category tree (name,
// second field and user id, case ignored as Find ignores it; passwords and notes only with the
// check box), categories without a match collapse, the counts read "n of m", and clearing the
// field (Escape) brings back the expansion and the selection. Find itself is left as it was.
#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include "CardsFixture.h"
#include "cardstore/CCardList.h"
#include "cardstore/CategoryTable.h"
#include "mainframe/QuickFilterBar.h"
#include "resources/ResourceIds.h"

namespace tessarel::test {
namespace {

class QuickFilterTest : public CardsFixture {
protected:
    void SetUp() override {
        CardsFixture::SetUp();
        AddCard("WWW Sites", CardFields{"Alpha Shop", "https://shop.example/", "ann", "pw1", {}});
        AddCard("WWW Sites", CardFields{"Beta", "https://beta.example/", "ALPHAuser", "pw2", {}});
        AddCard("WWW Sites", CardFields{"Gamma", "https://gamma.example/", "bob", "pw3", {}});
        AddCard("Login Accounts", CardFields{"Router", "alpha-host", "admin", "pw4", {}});
        AddCard("Login Accounts", CardFields{"NAS", "nas.local", "admin", "pw5", {}});
        AddCard("Miscellaneous", CardFields{"Locker", {}, {}, "alphasecret", {}});
        AddCard("Miscellaneous", CardFields{"Diary", {}, {}, {}, "the ALPHA notes"});
        AddCard("E-Mail Contacts", CardFields{"Carol", "carol@example.org", {}, {}, {}});
        // Before filtering: WWW Sites collapsed, Login Accounts open with NAS selected.
        Tree()->FindCategoryItem("WWW Sites")->setExpanded(false);
        Tree()->FindCategoryItem("Miscellaneous")->setExpanded(false);
        Tree()->FindCategoryItem("E-Mail Contacts")->setExpanded(false);
        Tree()->FindCategoryItem("Login Accounts")->setExpanded(true);
        SelectCard("Login Accounts", "NAS");
        bar = frame->QuickFilterToolbar();
        ASSERT_NE(bar, nullptr);
    }

    void Type(const QString& text) {
        QTest::keyClicks(bar->TextEdit(), text);
        Settle();
    }
    // The names of the cards the tree shows under `category`.
    QStringList Shown(const QString& category) const {
        QStringList names;
        QTreeWidgetItem* item = Tree()->FindCategoryItem(category);
        for (int i = 0; i < item->childCount(); ++i)
            if (!item->child(i)->isHidden()) names << item->child(i)->text(0);
        return names;
    }
    bool Expanded(const QString& category) const { return Tree()->FindCategoryItem(category)->isExpanded(); }

    QuickFilterBar* bar = nullptr;
};

TEST_F(QuickFilterTest, TypingFiltersByNameAddressAndUserIdIgnoringCase) {
    EXPECT_EQ(bar->windowTitle(), "Quick Filter");
    Type("alph");
    EXPECT_EQ(Shown("WWW Sites"), QStringList({"Alpha Shop", "Beta"}));
    EXPECT_EQ(Shown("Login Accounts"), QStringList({"Router"}));
    EXPECT_EQ(Shown("Miscellaneous"), QStringList()) << "passwords and notes are not searched";
    EXPECT_TRUE(Expanded("WWW Sites"));
    EXPECT_TRUE(Expanded("Login Accounts"));
    EXPECT_FALSE(Expanded("Miscellaneous"));
    EXPECT_FALSE(Expanded("E-Mail Contacts"));
    // NAS is hidden, so its category holds the selection and the field list shows no card.
    EXPECT_EQ(SelectedText(), "Login Accounts");
    EXPECT_EQ(TotalCount(), "3 of 8");
    EXPECT_EQ(CategoryCount(), "1 of 2");

    Type("a-");
    EXPECT_EQ(Shown("WWW Sites"), QStringList());
    EXPECT_EQ(Shown("Login Accounts"), QStringList({"Router"}));
    EXPECT_FALSE(Expanded("WWW Sites"));
    EXPECT_EQ(TotalCount(), "1 of 8");

    bar->TextEdit()->setText("alpha");
    bar->SecretsBox()->click();
    Settle();
    EXPECT_EQ(Shown("Miscellaneous"), QStringList({"Diary", "Locker"}));
    EXPECT_TRUE(Expanded("Miscellaneous"));
    EXPECT_EQ(TotalCount(), "5 of 8");
    // Text no card can hold matches nothing rather than something.
    bar->TextEdit()->setText(QString::fromUtf8("\xe2\x98\x83"));
    Settle();
    EXPECT_EQ(TotalCount(), "0 of 8");
    for (int code = 0; code < 15; ++code) EXPECT_FALSE(Tree()->GetCategoryItem(code)->isExpanded()) << code;
}

TEST_F(QuickFilterTest, EscapeClearsTheFilterAndRestoresExpansionAndSelection) {
    Type("alpha");
    ASSERT_EQ(TotalCount(), "3 of 8");
    QTest::keyClick(bar->TextEdit(), Qt::Key_Escape);
    Settle();
    EXPECT_EQ(bar->TextEdit()->text(), "");
    for (const char* category : {"WWW Sites", "Login Accounts", "Miscellaneous", "E-Mail Contacts"})
        EXPECT_EQ(Shown(category).size(), CardNames(category).size()) << category;
    EXPECT_FALSE(Expanded("WWW Sites"));
    EXPECT_TRUE(Expanded("Login Accounts"));
    EXPECT_FALSE(Expanded("Miscellaneous"));
    EXPECT_EQ(SelectedText(), "NAS");
    EXPECT_EQ(List()->RowValue(0), "NAS") << "the field list shows the card again";
    EXPECT_EQ(TotalCount(), "8");
    EXPECT_EQ(CategoryCount(), "2");
}

TEST_F(QuickFilterTest, ACardChosenWhileFilteringStaysSelectedAfterClearing) {
    Type("ALPHA");
    SelectCard("WWW Sites", "Beta");
    EXPECT_EQ(CategoryCount(), "2 of 3");
    QTest::keyClick(bar->TextEdit(), Qt::Key_Escape);
    Settle();
    EXPECT_EQ(SelectedText(), "Beta");
    EXPECT_TRUE(Expanded("WWW Sites")) << "the chosen card's category stays open";
    EXPECT_TRUE(Expanded("Login Accounts"));
    EXPECT_FALSE(Expanded("Miscellaneous"));
    EXPECT_EQ(TotalCount(), "8");
}

TEST_F(QuickFilterTest, NewAndChangedCardsFollowTheFilter) {
    Type("alpha");
    // A new card that matches appears; one edited so it no longer matches goes.
    AddCard("FTP Servers", CardFields{"Alpha FTP", "ftp.example", "u", "p", {}});
    EXPECT_EQ(Shown("FTP Servers"), QStringList({"Alpha FTP"}));
    EXPECT_EQ(TotalCount(), "4 of 9");
    SelectCard("WWW Sites", "Beta");
    FillCardDialog(CardFields{"Beta", "https://beta.example/", "carl", "pw2", {}});
    ASSERT_TRUE(Run(res::EditCard));
    // The card just edited stays under the person's hands; the next keystroke filters it out.
    EXPECT_EQ(SelectedText(), "Beta");
    EXPECT_EQ(Shown("WWW Sites"), QStringList({"Alpha Shop", "Beta"}));
    Type("-");
    bar->TextEdit()->backspace();
    Settle();
    EXPECT_EQ(Shown("WWW Sites"), QStringList({"Alpha Shop"}));
    EXPECT_EQ(TotalCount(), "3 of 9");
    // Deleting a card while filtering keeps the other rows' filtering in step.
    SelectCard("WWW Sites", "Alpha Shop");
    dialogs->AnswerMessage(MessageAnswer::Ok);
    ASSERT_TRUE(Run(res::DeleteCard));
    EXPECT_EQ(Shown("WWW Sites"), QStringList());
    EXPECT_EQ(TotalCount(), "2 of 8");
    bar->TextEdit()->clear();
    Settle();
    EXPECT_EQ(Shown("WWW Sites"), QStringList({"Beta", "Gamma"}));
    EXPECT_EQ(TotalCount(), "8");
}

// An update keeps a changed category's rows and gives them the cards they now show: what the
// filter hides must follow the cards to their new rows, and clearing it must show every row.
TEST_F(QuickFilterTest, CardsThatMoveToOtherRowsInAnUpdateKeepTheFilter) {
    Type("alpha");
    EXPECT_EQ(Shown("WWW Sites"), QStringList({"Alpha Shop", "Beta"}));
    CCardList& sites = *Doc()->GetCategoryList(*CategoryCodeOfName("WWW Sites"));
    sites.GetAt(0)->SetFieldText1("Delta");  // its address and user id do not match
    sites.GetAt(1)->SetFieldText1("Zed");    // its user id still matches
    Doc()->UpdateAllViews(nullptr);
    Settle();
    EXPECT_EQ(Shown("WWW Sites"), QStringList({"Zed"}));
    EXPECT_EQ(TotalCount(), "2 of 8");
    bar->TextEdit()->clear();
    Settle();
    EXPECT_EQ(Shown("WWW Sites"), QStringList({"Delta", "Gamma", "Zed"}));
    EXPECT_EQ(TotalCount(), "8");
}

TEST_F(QuickFilterTest, CtrlKFocusesTheFieldAndEscapeOnAnEmptyFieldReturnsToTheTree) {
    std::vector<QAction*> actions = frame->ActionsFor(res::FocusQuickFilter);
    ASSERT_FALSE(actions.empty());
    EXPECT_EQ(actions.front()->shortcut(), QKeySequence(QStringLiteral("Ctrl+K")));
    frame->UpdateCommandStates();
    EXPECT_TRUE(actions.front()->isEnabled());
    bar->TextEdit()->setText("x");
    bar->TextEdit()->deselect();
    actions.front()->trigger();
    Settle();
    EXPECT_EQ(frame->focusWidget(), bar->TextEdit());
    EXPECT_EQ(bar->TextEdit()->selectedText(), "x") << "typing replaces the old filter";
    QTest::keyClick(bar->TextEdit(), Qt::Key_Escape);
    QTest::keyClick(bar->TextEdit(), Qt::Key_Escape);
    Settle();
    EXPECT_EQ(frame->focusWidget(), Tree());
}

TEST_F(QuickFilterTest, TheFilterFollowsTheActiveWindowAndIsOffWithoutOne) {
    Type("alpha");
    CTessarelView* first = Tree();
    ASSERT_NE(NewFile(), nullptr);
    EXPECT_NE(Tree(), first);
    EXPECT_EQ(TotalCount(), "0 of 0");
    for (int code = 0; code < 15; ++code)
        for (int i = 0; i < first->GetCategoryItem(code)->childCount(); ++i)
            EXPECT_FALSE(first->GetCategoryItem(code)->child(i)->isHidden()) << "the window left behind shows every card";
    for (Document* document : app->GetDocManager().GetDocuments()) document->SetModifiedFlag(false);
    app->GetDocManager().CloseAllDocuments();
    Settle();
    frame->UpdateCommandStates();
    EXPECT_FALSE(bar->TextEdit()->isEnabled());
    EXPECT_FALSE(frame->ActionsFor(res::FocusQuickFilter).front()->isEnabled());
    EXPECT_FALSE(frame->ActionsFor(res::ShowPasswordReport).front()->isEnabled());
}

}  // namespace
}  // namespace tessarel::test
