// Text a card cannot store (outside Windows-1252) is refused while the dialog that took it is still
// open: the message, the focus back on the field, and everything typed kept for mending. A paste
// into the field list that changes nothing says why.
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QToolButton>

#include "CardsFixture.h"
#include "framework/CommandIds.h"
#include "mainframe/dialogs/CCardDlg.h"
#include "resources/ResourceIds.h"

namespace tessarel::test {
namespace {

using UnstorableTextTest = CardsFixture;

// A character Windows-1252 has no byte for, and the message that refuses it.
const QString kHan = QString::fromUtf8("\xe6\x97\xa5");
const std::string kRefused = "The character \"\xe6\x97\xa5\" cannot be used here.";

QString TextOf(QWidget* control) {
    if (auto* line = qobject_cast<QLineEdit*>(control)) return line->text();
    return qobject_cast<QPlainTextEdit*>(control)->toPlainText();
}

void SetTextOf(QWidget* control, const QString& text) {
    if (auto* line = qobject_cast<QLineEdit*>(control))
        line->setText(text);
    else
        qobject_cast<QPlainTextEdit*>(control)->setPlainText(text);
}

TEST_F(UnstorableTextTest, TheCardDialogKeepsEverythingTypedAndFocusesTheFieldToMend) {
    const int controls[] = {res::ControlCardName, res::ControlCardField2, res::ControlCardField3, res::ControlCardPassword,
                            res::ControlCardNote};
    const QStringList typed = {"name", "http://site", "user", QString::fromUtf8("p\xc3\xa4ss"), "line one\nline two"};
    for (int bad = 0; bad < 5; ++bad) {
        SCOPED_TRACE(bad);
        SelectCategory("WWW Sites");
        const int before = Doc()->GetCategoryList(0)->GetCount();
        QStringList withFault = typed;
        withFault[bad] += kHan;
        auto control = [](Dialog& dialog, int id) { return dialog.findChild<QWidget*>(QString::number(id)); };
        dialogs->RunDialog([&](Dialog& dialog) {
            for (int i = 0; i < 5; ++i) SetTextOf(control(dialog, controls[i]), withFault[i]);
            return int(QDialog::Accepted);
        });
        // The dialog is still open: this step sees it as the refusal left it, then mends it.
        dialogs->RunDialog([&](Dialog& dialog) {
            EXPECT_EQ(dialog.focusWidget(), control(dialog, controls[bad]));
            for (int i = 0; i < 5; ++i) EXPECT_EQ(TextOf(control(dialog, controls[i])), withFault[i]) << i;
            SetTextOf(control(dialog, controls[bad]), typed[bad]);
            return int(QDialog::Accepted);
        });
        EXPECT_TRUE(Run(res::NewCard));
        EXPECT_EQ(Messages(), std::vector<std::string>(static_cast<std::size_t>(bad) + 1, kRefused));
        ASSERT_EQ(Doc()->GetCategoryList(0)->GetCount(), before + 1);
        const CCard* card = Tree()->GetCurrentCard();
        ASSERT_NE(card, nullptr);
        EXPECT_EQ(std::string(card->GetFieldText1()), "name");
        EXPECT_EQ(std::string(card->GetFieldText4()), "p\xe4ss");
        EXPECT_EQ(std::string(card->GetNote()), "line one\r\nline two");
    }
    EXPECT_EQ(dialogs->PendingSteps(), 0u);
    EXPECT_TRUE(dialogs->Problems().isEmpty()) << dialogs->Problems().join("; ").toStdString();
}

TEST_F(UnstorableTextTest, EditUrlKeepsTheAddressOpenForMending) {
    SelectCategory("WWW Sites");
    dialogs->RunDialog([](Dialog& dialog) {
        dialog.findChild<QToolButton*>(QString::number(res::ControlUrlButton))->click();
        EXPECT_EQ(dialog.findChild<QLineEdit*>(QString::number(res::ControlCardField2))->text(), "http://mended.example/");
        return int(QDialog::Accepted);
    });
    const QString address = "http://" + kHan + ".example/";
    dialogs->RunDialog([&](Dialog& dialog) {
        dialog.findChild<QPlainTextEdit*>(QString::number(res::ControlUrlText))->setPlainText(address);
        return int(QDialog::Accepted);
    });
    dialogs->RunDialog([&](Dialog& dialog) {
        auto* edit = dialog.findChild<QPlainTextEdit*>(QString::number(res::ControlUrlText));
        EXPECT_EQ(dialog.windowTitle(), "Edit URL");
        EXPECT_EQ(dialog.focusWidget(), edit);
        EXPECT_EQ(edit->toPlainText(), address);
        edit->setPlainText("http://mended.example/");
        return int(QDialog::Accepted);
    });
    EXPECT_TRUE(Run(res::NewCard));
    EXPECT_EQ(Messages(), std::vector<std::string>{kRefused});
    ASSERT_NE(Tree()->GetCurrentCard(), nullptr);
    EXPECT_EQ(std::string(Tree()->GetCurrentCard()->GetFieldText2()), "http://mended.example/");
    EXPECT_EQ(dialogs->PendingSteps(), 0u);
}

TEST_F(UnstorableTextTest, TheNoteDialogKeepsTheNoteOpenForMending) {
    CCard* card = AddCard("Miscellaneous", CardFields{"noted", "", "", "", "old note"});
    SelectCard("Miscellaneous", "noted");
    const QString note = "first\n" + kHan;
    dialogs->RunDialog([&](Dialog& dialog) {
        dialog.findChild<QPlainTextEdit*>(QString::number(res::ControlNoteText))->setPlainText(note);
        return int(QDialog::Accepted);
    });
    dialogs->RunDialog([&](Dialog& dialog) {
        auto* edit = dialog.findChild<QPlainTextEdit*>(QString::number(res::ControlNoteText));
        EXPECT_EQ(dialog.focusWidget(), edit);
        EXPECT_EQ(edit->toPlainText(), note);
        return int(QDialog::Rejected);  // given up: the card keeps its note
    });
    DoubleClickRow(4);
    EXPECT_EQ(Messages(), std::vector<std::string>{kRefused});
    EXPECT_EQ(std::string(card->GetNote()), "old note");
    EXPECT_EQ(dialogs->PendingSteps(), 0u);
}

TEST_F(UnstorableTextTest, AFieldListPasteThatChangesNothingSaysWhy) {
    CCard* card = AddCard("Membership Numbers", CardFields{"club", "www.club.example", "", "", ""});
    const std::uint32_t stamp = card->GetModified();
    // A Copy enables Paste; a Paste in the field list leaves it enabled.
    MakeListActive();
    ClickRow(0);
    ASSERT_TRUE(Run(cmd::EditCopy));
    struct Case {
        int row;
        QString pasted;
        std::string message;
    };
    const Case cases[] = {
        {1, "www." + kHan + ".example", kRefused},
        {5, "no date", "The date \"no date\" cannot be read. Paste it as dd-mm-yyyy (24-12-2003) or yy/mm/dd (98/12/24)."},
        {5, "31-13-2003", "The date \"31-13-2003\" cannot be read. Paste it as dd-mm-yyyy (24-12-2003) or yy/mm/dd (98/12/24)."},
    };
    std::vector<std::string> expected;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pasted.toStdString());
        MakeListActive();
        ClickRow(c.row);
        QApplication::clipboard()->setText(c.pasted);
        EXPECT_TRUE(Run(cmd::EditPaste));
        expected.push_back(c.message);
        EXPECT_EQ(Messages(), expected);
        EXPECT_EQ(std::string(card->GetFieldText2()), "www.club.example");
        EXPECT_EQ(card->GetModified(), stamp);
    }
}

}  // namespace
}  // namespace tessarel::test
