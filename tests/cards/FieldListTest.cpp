// The card field list: rows by category, masking, note summaries, clicks, double clicks on the
// option, note, date and editing rows, and the password pop-up.
#include <QDialog>
#include <QPlainTextEdit>
#include <QLineEdit>

#include "CardsFixture.h"
#include "../support/RecordedPopups.h"
#include "cardstore/CardTime.h"
#include "framework/Dialog.h"
#include "resources/ResourceIds.h"

namespace tessarel::test {
namespace {

using FieldListTest = CardsFixture;

TEST_F(FieldListTest, RowsFollowTheCategory) {
    struct Case {
        const char* category;
        QStringList labels;
    };
    const Case cases[] = {
        {"WWW Sites", {"Name:", "URL:", "User ID:", "Password:", "Note:", "Automatic Access:", "New Browser Window:", "Date:"}},
        {"E-Mail Contacts", {"Name:", "URL:", "N/A:", "N/A:", "Note:", "Automatic Access:", "New Browser Window:", "Date:"}},
        {"WWW Forms", {"Name:", "URL:", "User ID:", "Password:", "Note:", "Date:"}},
        {"Bank Accounts", {"Bank:", "Branch Number:", "Account Holder:", "Account Number:", "Note:", "Date:"}},
        {"Personal Data", {"Person:", "Type of Data:", "Date/Place Issued:", "Number:", "Note:", "Date:"}},
    };
    for (const Case& c : cases) {
        CCard* card = AddCard(c.category, QStringLiteral("card"));
        ASSERT_NE(card, nullptr);
        QStringList labels;
        for (int row = 0; row < List()->RowCount(); ++row) labels << List()->RowLabel(row);
        EXPECT_EQ(labels, c.labels) << c.category;
        EXPECT_EQ(List()->RowValue(List()->RowCount() - 1), QString::fromStdString(FormatCardDate(card->GetModified(), 0)));
        EXPECT_EQ(List()->topLevelItem(0)->foreground(1).color(), QColor(0, 0, 255));
    }
}

TEST_F(FieldListTest, PasswordIsMaskedToAtMost255AndAClickKeepsItInClear) {
    const QString password(300, 'k');
    AddCard("Software Keys", CardFields{"key", "", "", password, ""});
    EXPECT_EQ(List()->RowValue(3), QString(255, '*'));
    ClickRow(3);
    EXPECT_EQ(List()->clickedRow, 3);
    EXPECT_EQ(std::string(List()->clickedText), password.toStdString());
    ClickRow(0);
    EXPECT_EQ(std::string(List()->clickedText), "key");
}

TEST_F(FieldListTest, NotesAreSummarisedAndKeepTheirLineBreaks) {
    CCard* card = AddCard("Miscellaneous", CardFields{"noted", "", "", "", "first line\nsecond line"});
    EXPECT_EQ(std::string(card->GetNote()), "first line\r\nsecond line");
    EXPECT_EQ(List()->RowValue(4), "first line...");
    const QString seventy = "aaaaaaaaa bbbbbbbbb ccccccccc ddddddddd eeeeeeeee fffffffffgggggggggggggggggggg";
    AddCard("Miscellaneous", CardFields{"long", "", "", "", seventy});
    EXPECT_EQ(List()->RowValue(4), "aaaaaaaaa bbbbbbbbb ccccccccc ddddddddd eeeeeeeee...");

    // Double-clicking the note row edits the whole note, shown with plain line breaks.
    SelectCard("Miscellaneous", "noted");
    QString shown;
    dialogs->RunDialog([&shown](Dialog& dialog) {
        auto* edit = dialog.findChild<QPlainTextEdit*>(QString::number(res::ControlNoteText));
        shown = edit->toPlainText();
        edit->setPlainText("one\ntwo\nthree");
        return int(QDialog::Accepted);
    });
    DoubleClickRow(4);
    EXPECT_EQ(shown, "first line\nsecond line");
    EXPECT_EQ(dialogs->Events().back().dialogTitle, "Note ");
    EXPECT_EQ(std::string(card->GetNote()), "one\r\ntwo\r\nthree");
    EXPECT_EQ(SelectedText(), "noted");
    EXPECT_EQ(List()->RowValue(4), "one...");
}

TEST_F(FieldListTest, DoubleClickOnAutomaticAccessTogglesItAndMarksTheFileModified) {
    CCard* card = AddCard("WWW Sites", "site");
    Doc()->SetModifiedFlag(false);
    EXPECT_EQ(List()->RowValue(5), "Off");
    DoubleClickRow(5);
    EXPECT_EQ(card->GetAutomaticAccess(), 1);
    EXPECT_TRUE(Doc()->IsModified());
    EXPECT_EQ(List()->RowValue(5), "On");
    EXPECT_EQ(SelectedText(), "site");
    DoubleClickRow(6);
    EXPECT_EQ(card->GetNewBrowserWindow(), 1);
    EXPECT_EQ(List()->RowValue(6), "On");
}

TEST_F(FieldListTest, DateRowOutsideTheBrowserGroupEditsNothingAndRowSevenEdits) {
    CCard* forms = AddCard("WWW Forms", "form");
    Doc()->SetModifiedFlag(false);
    DoubleClickRow(5);  // an unscripted dialog would show up as a problem at tear-down
    EXPECT_FALSE(Doc()->IsModified());
    EXPECT_EQ(forms->GetAutomaticAccess(), 0);

    CCard* site = AddCard("WWW Sites", "site");
    dialogs->RunDialog([](Dialog& dialog) {
        dialog.findChild<QLineEdit*>(QString::number(res::ControlCardName))->setText("renamed");
        return int(QDialog::Accepted);
    });
    DoubleClickRow(7);
    EXPECT_EQ(dialogs->Events().back().dialogTitle, "Edit Card");
    EXPECT_EQ(std::string(site->GetFieldText1()), "renamed");
    EXPECT_TRUE(site->IsEdited());
    EXPECT_EQ(SelectedText(), "renamed");
    EXPECT_EQ(List()->RowValue(0), "renamed");
}

TEST_F(FieldListTest, RightClickOnThePasswordRowRevealsIt) {
    AddCard("Login Accounts", CardFields{"shell", "", "", "pa55", ""});
    RecordedPopups recorded;
    RightClickRow(2);
    EXPECT_TRUE(recorded.popups.empty());
    RightClickRow(3);
    ASSERT_EQ(recorded.popups.size(), 1u);
    EXPECT_EQ(recorded.popups[0].items, (std::vector<RecordedPopups::Item>{{"pa55", false}}));
    // At the row's left edge moved 80 pixels right.
    const QRect row = List()->visualItemRect(List()->topLevelItem(3));
    EXPECT_EQ(recorded.popups[0].at, List()->viewport()->mapToGlobal(QPoint(row.left() + 80, row.top())));
}

TEST_F(FieldListTest, ATypedCharacterOutsideTheCardCharacterSetIsRefused) {
    SelectCategory("WWW Sites");
    FillCardDialog(CardFields{QString::fromUtf8("\xe6\x97\xa5 name"), "", "", "", ""});
    dialogs->RunDialog([](Dialog&) { return int(QDialog::Rejected); });  // the refused dialog stays open until cancelled
    EXPECT_TRUE(Run(res::NewCard));
    EXPECT_EQ(Messages(), std::vector<std::string>{"The character \"\xe6\x97\xa5\" cannot be used here."});
    EXPECT_EQ(Doc()->GetCategoryList(0)->GetCount(), 0);
    // Windows-1252 letters pass and come back unchanged.
    CCard* card = AddCard("WWW Sites", QString::fromUtf8("Caf\xc3\xa9 \xe2\x82\xac"));
    ASSERT_NE(card, nullptr);
    EXPECT_EQ(std::string(card->GetFieldText1()), "Caf\xe9 \x80");
    EXPECT_EQ(SelectedText(), QString::fromUtf8("Caf\xc3\xa9 \xe2\x82\xac"));
}

}  // namespace
}  // namespace tessarel::test
