// The modeless Find Card dialog: search order, case rules, Find Again without wrap-around, the
// two messages, Enter and Cancel.
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "CardsFixture.h"
#include "framework/CommandIds.h"
#include "mainframe/CFindCardDlg.h"
#include "resources/ResourceIds.h"

namespace tessarel::test {
namespace {

class FindCardTest : public CardsFixture {
protected:
    CFindCardDlg* OpenFind() {
        EXPECT_TRUE(Run(res::FindButton));
        return qobject_cast<CFindCardDlg*>(frame->FindDialog());
    }
    void Type(CFindCardDlg* find, const QString& text, bool ignoreCase) {
        find->findChild<QLineEdit*>(QString::number(res::ControlSearchText))->setText(text);
        find->findChild<QCheckBox*>(QString::number(res::ControlIgnoreCase))->setChecked(ignoreCase);
    }
    void Press(CFindCardDlg* find, int buttonId) {
        find->findChild<QPushButton*>(QString::number(buttonId))->click();
        Settle();
    }
};

TEST_F(FindCardTest, PopAccountsAreSearchedBeforeLoginAccountsAndFindAgainDoesNotWrap) {
    AddCard("Login Accounts", "login match");
    AddCard("POP Accounts", "pop match");
    AddCard("WWW Sites", "other");
    CFindCardDlg* find = OpenFind();
    ASSERT_NE(find, nullptr);
    EXPECT_EQ(find->windowTitle(), "Find Card");
    Type(find, "match", false);
    Press(find, res::ControlFind);
    EXPECT_EQ(SelectedText(), "pop match");
    EXPECT_EQ(List()->RowValue(0), "pop match");
    EXPECT_EQ(find->lastFoundPosition, 1);
    Press(find, res::ControlFindAgain);
    EXPECT_EQ(SelectedText(), "login match");
    EXPECT_TRUE(Messages().empty());
    Press(find, res::ControlFindAgain);
    EXPECT_EQ(Messages(), std::vector<std::string>{"No occurrence of this string can be found, please try again."});
    EXPECT_EQ(dialogs->Events().back().message.caption, "Tessarel");
    EXPECT_EQ(find->lastFoundPosition, -1);
    Press(find, res::ControlFindAgain);  // starts at the first card again
    EXPECT_EQ(SelectedText(), "pop match");
}

TEST_F(FindCardTest, CaseRulesAndFieldsSearched) {
    AddCard("Bank Accounts", CardFields{"bank", "", "", "", "note with ABC inside"});
    AddCard("Software Keys", CardFields{"product", "", "", "only-in-password", ""});
    CFindCardDlg* find = OpenFind();
    ASSERT_NE(find, nullptr);
    Type(find, "abc", false);
    Press(find, res::ControlFind);
    EXPECT_EQ(Messages().size(), 1u);
    Type(find, "abc", true);
    Press(find, res::ControlFind);
    EXPECT_EQ(SelectedText(), "bank");
    Type(find, "only-in", false);
    Press(find, res::ControlFind);
    EXPECT_EQ(SelectedText(), "product");
    EXPECT_EQ(Messages().size(), 1u);
}

TEST_F(FindCardTest, EmptyTextEnterAndCancel) {
    AddCard("WWW Sites", "alpha");
    AddCard("WWW Sites", "alpha two");
    CFindCardDlg* find = OpenFind();
    ASSERT_NE(find, nullptr);
    EXPECT_TRUE(Run(cmd::EditFind));  // a second Find keeps the one dialog
    EXPECT_EQ(frame->FindDialog(), find);
    Press(find, res::ControlFind);
    EXPECT_EQ(Messages(), std::vector<std::string>{"Please enter a string."});

    Type(find, "alpha", false);
    Press(find, res::ControlFind);
    Press(find, res::ControlFindAgain);
    EXPECT_EQ(SelectedText(), "alpha two");
    // Enter presses the default button, "Find", which starts from the first card.
    QLineEdit* edit = find->findChild<QLineEdit*>(QString::number(res::ControlSearchText));
    QTest::keyClick(edit, Qt::Key_Return);
    Settle();
    EXPECT_EQ(SelectedText(), "alpha");
    EXPECT_EQ(find->lastFoundPosition, 0);

    QTest::keyClick(edit, Qt::Key_Escape);
    Settle();
    EXPECT_EQ(frame->FindDialog(), nullptr);
    CFindCardDlg* again = OpenFind();
    ASSERT_NE(again, nullptr);
    again->reject();
    Settle();
}

}  // namespace
}  // namespace tessarel::test
