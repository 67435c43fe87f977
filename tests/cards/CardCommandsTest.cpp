// New Card, Edit Card, Delete Card and Copy Password through the command routing, with the card
// dialog driven through its controls.
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>

#include "CardsFixture.h"
#include "cardstore/CardTime.h"
#include "framework/CommandIds.h"
#include "framework/Dialog.h"
#include "mainframe/dialogs/CDecryptPasswordDlg.h"
#include "mainframe/dialogs/RevealButton.h"
#include "../support/RecordedPopups.h"
#include "resources/ResourceIds.h"

namespace tessarel::test {
namespace {

using CardCommandsTest = CardsFixture;

struct DialogLook {
    QString title, okText, category, second, password;
    QStringList labels;
    bool attributesEnabled = false;
    bool urlVisible = false;
    bool masked = false;
};

DialogLook Look(Dialog& dialog) {
    DialogLook look;
    look.title = dialog.windowTitle();
    look.okText = dialog.findChild<QPushButton*>("IDOK")->text();
    look.category = dialog.findChild<QLabel*>(QString::number(res::ControlCardCategory))->text();
    look.second = dialog.findChild<QLineEdit*>(QString::number(res::ControlCardField2))->text();
    auto* password = dialog.findChild<QLineEdit*>(QString::number(res::ControlCardPassword));
    look.password = password->text();
    look.masked = password->echoMode() == QLineEdit::Password;
    for (int i = 0; i < 4; ++i) look.labels << dialog.findChild<QLabel*>(QString::number(res::ControlCardLabel1 + i))->text();
    look.attributesEnabled = dialog.findChild<QCheckBox*>(QString::number(res::ControlAutomaticAccess))->isEnabled() &&
                             dialog.findChild<QCheckBox*>(QString::number(res::ControlNewBrowserWindow))->isEnabled();
    look.urlVisible = !dialog.findChild<QToolButton*>(QString::number(res::ControlUrlButton))->isHidden();
    return look;
}

TEST_F(CardCommandsTest, NewCardFillsTheDialogByCategory) {
    struct Case {
        const char* category;
        const char* prefix;
        bool attributes;
        bool url;
        QStringList labels;
    };
    const QStringList web = {"Name:", "URL:", "User ID:", "Password:"};
    const Case cases[] = {
        {"WWW Sites", "http://", true, true, web},
        {"WWW Forms", "", true, false, web},
        {"FTP Servers", "ftp://", true, true, web},
        {"Newsgroups", "ftp://", false, true, web},
        {"E-Mail Contacts", "", false, true, {"Name:", "URL:", "N/A:", "N/A:"}},
        {"Login Accounts", "telnet://", false, true, {"Name:", "Host:", "Login:", "Password:"}},
        {"Bank Accounts", "", false, false, {"Bank:", "Branch Number:", "Account Holder:", "Account Number:"}},
        {"Miscellaneous", "http://", true, false, {"Name:", "Home Page:", "Description:", "Password:"}},
    };
    for (const Case& c : cases) {
        SelectCategory(c.category);
        DialogLook look;
        dialogs->RunDialog([&look](Dialog& dialog) {
            look = Look(dialog);
            return int(QDialog::Rejected);
        });
        EXPECT_TRUE(Run(res::NewCard));
        EXPECT_EQ(look.title, "Add New Card") << c.category;
        EXPECT_EQ(look.okText, "Add Card");
        EXPECT_EQ(look.category, c.category);
        EXPECT_EQ(look.second, c.prefix) << c.category;
        EXPECT_EQ(look.attributesEnabled, c.attributes) << c.category;
        EXPECT_EQ(look.urlVisible, c.url) << c.category;
        EXPECT_EQ(look.labels, c.labels) << c.category;
        EXPECT_TRUE(look.masked);
    }
    // Cancel added nothing.
    for (int code = 0; code < 15; ++code) EXPECT_EQ(Doc()->GetCategoryList(code)->GetCount(), 0);
    EXPECT_FALSE(Doc()->IsModified());
}

TEST_F(CardCommandsTest, NewCardAddsTheCardAndSelectsIt) {
    CCard* card = AddCard("WWW Sites", CardFields{"Example", "http://example.org", "me", "pw", "line 1\nline 2", true});
    ASSERT_NE(card, nullptr);
    EXPECT_EQ(std::string(card->GetFieldText1()), "Example");
    EXPECT_EQ(std::string(card->GetFieldText2()), "http://example.org");
    EXPECT_EQ(std::string(card->GetFieldText3()), "me");
    EXPECT_EQ(std::string(card->GetFieldText4()), "pw");
    EXPECT_EQ(std::string(card->GetNote()), "line 1\r\nline 2");
    EXPECT_EQ(card->GetCategoryCode(), 0);
    EXPECT_EQ(std::string(card->GetCategoryName()), "WWW Sites");
    EXPECT_EQ(card->GetAutomaticAccess(), 1);
    EXPECT_NEAR(double(card->GetModified()), double(CurrentCardTimeStamp()), 5.0);
    EXPECT_EQ(SelectedText(), "Example");
    EXPECT_EQ(Tree()->GetCurrentCard(), card);
    EXPECT_TRUE(Doc()->IsModified());
    EXPECT_EQ(CategoryCount(), "1");
    EXPECT_EQ(TotalCount(), "1");
    EXPECT_EQ(List()->RowValue(2), "me");
    EXPECT_TRUE(app->QueryCommand(res::EditCard).enabled);
}

TEST_F(CardCommandsTest, EditCardShowsTheCardAndWritesItBack) {
    CCard* card = AddCard("Bank Accounts", CardFields{"bank", "12", "holder", "9999", "n"});
    DialogLook look;
    dialogs->RunDialog([&look](Dialog& dialog) {
        look = Look(dialog);
        dialog.findChild<QLineEdit*>(QString::number(res::ControlCardName))->setText("a bank");
        dialog.findChild<QPlainTextEdit*>(QString::number(res::ControlCardNote))->setPlainText("new\nnote");
        return int(QDialog::Accepted);
    });
    EXPECT_TRUE(Run(res::EditCard));
    EXPECT_EQ(look.title, "Edit Card");
    EXPECT_EQ(look.okText, "OK");
    EXPECT_EQ(look.category, "Bank Accounts");
    EXPECT_EQ(look.second, "12");
    EXPECT_EQ(look.password, "9999");
    EXPECT_EQ(look.labels, QStringList({"Bank:", "Branch Number:", "Account Holder:", "Account Number:"}));
    EXPECT_EQ(std::string(card->GetFieldText1()), "a bank");
    EXPECT_EQ(std::string(card->GetNote()), "new\r\nnote");
    EXPECT_TRUE(card->IsEdited());
    EXPECT_EQ(SelectedText(), "a bank");
    EXPECT_EQ(List()->RowValue(0), "a bank");

    // Cancel writes nothing.
    dialogs->RunDialog([](Dialog& dialog) {
        dialog.findChild<QLineEdit*>(QString::number(res::ControlCardName))->setText("ignored");
        return int(QDialog::Rejected);
    });
    EXPECT_TRUE(Run(res::UpdateCardButton));
    EXPECT_EQ(std::string(card->GetFieldText1()), "a bank");
}

TEST_F(CardCommandsTest, DeleteAsksAndKeepsTheCardInTheDeletedList) {
    AddCard("Credit Cards", "keep");
    CCard* doomed = AddCard("Credit Cards", "doomed");
    dialogs->AnswerMessage(MessageAnswer::Cancel);
    EXPECT_TRUE(Run(res::DeleteCard));
    ASSERT_FALSE(dialogs->Events().empty());
    const Message& question = dialogs->Events().back().message;
    EXPECT_EQ(question.text, "Are you sure you want to delete this card?");
    EXPECT_EQ(question.caption, "Warning");
    EXPECT_EQ(question.buttons, MessageButtons::OkCancel);
    EXPECT_EQ(question.icon, MessageIcon::Warning);
    EXPECT_EQ(CardNames("Credit Cards"), QStringList({"doomed", "keep"}));

    dialogs->AnswerMessage(MessageAnswer::Ok);
    EXPECT_TRUE(Run(res::DeleteCardButton));
    EXPECT_EQ(CardNames("Credit Cards"), QStringList({"keep"}));
    EXPECT_EQ(SelectedText(), "Credit Cards");
    EXPECT_EQ(CategoryCount(), "1");
    EXPECT_EQ(TotalCount(), "1");
    EXPECT_EQ(frame->GetCardSelectedFlag(), 0);
    EXPECT_EQ(List()->RowCount(), 0);
    ASSERT_EQ(Doc()->GetDeletedList().GetCount(), 1);
    EXPECT_EQ(Doc()->GetDeletedList().GetAt(0), doomed);
    EXPECT_TRUE(doomed->IsDeleted());
    EXPECT_FALSE(app->QueryCommand(res::DeleteCard).enabled);
}

// The pop-up: one disabled item, at the button's bottom-right corner moved 5 pixels right.
void ExpectRevealPopup(const RecordedPopups& recorded, const RevealButton* button, const QString& text) {
    ASSERT_EQ(recorded.popups.size(), 1u);
    const RecordedPopups::Popup& popup = recorded.popups.front();
    EXPECT_EQ(popup.items, (std::vector<RecordedPopups::Item>{{text, false}}));
    EXPECT_EQ(popup.at, button->mapToGlobal(QPoint(button->width() + 5, button->height())));
    EXPECT_EQ(popup.parent, button);
}

TEST_F(CardCommandsTest, RevealShowsEmptyInTheCardDialogButNothingInTheDecryptionDialog) {
    auto reveal = [](const QString& typed, const QString& text) {
        return [typed, text](Dialog& dialog) {
            dialog.findChild<QLineEdit*>(QString::number(res::ControlCardPassword))->setText(typed);
            auto* button = dialog.findChild<RevealButton*>(QString::number(res::ControlReveal));
            // Placed where the pop-up's position is not the origin's.
            dialog.move(40, 30);
            RecordedPopups recorded;
            button->click();
            ExpectRevealPopup(recorded, button, text);
            return int(QDialog::Rejected);
        };
    };
    SelectCategory("WWW Sites");
    dialogs->RunDialog(reveal("", "Empty"));
    Run(res::NewCard);
    dialogs->RunDialog(reveal("s3cret", "s3cret"));
    Run(res::NewCard);
    EXPECT_EQ(dialogs->PendingSteps(), 0u);

    CDecryptPasswordDlg decrypt;
    decrypt.Initialise();
    auto* button = decrypt.findChild<RevealButton*>(QString::number(res::ControlReveal));
    RecordedPopups recorded;
    button->click();
    ExpectRevealPopup(recorded, button, "");
}

TEST_F(CardCommandsTest, UrlButtonEditsTheSecondField) {
    SelectCategory("FTP Servers");
    QString offered;
    dialogs->RunDialog([&offered, this](Dialog& dialog) {
        dialogs->RunDialog([&offered](Dialog& url) {
            auto* edit = url.findChild<QPlainTextEdit*>(QString::number(res::ControlUrlText));
            offered = edit->toPlainText();
            edit->setPlainText("ftp://files.example.org");
            return int(QDialog::Accepted);
        });
        dialog.findChild<QToolButton*>(QString::number(res::ControlUrlButton))->click();
        return int(QDialog::Accepted);
    });
    EXPECT_TRUE(Run(res::NewCard));
    EXPECT_EQ(offered, "ftp://");
    EXPECT_EQ(dialogs->Events().back().dialogTitle, "Edit URL");
    ASSERT_EQ(Doc()->GetCategoryList(2)->GetCount(), 1);
    EXPECT_EQ(std::string(Doc()->GetCategoryList(2)->GetAt(0)->GetFieldText2()), "ftp://files.example.org");
}

TEST_F(CardCommandsTest, CopyPasswordNeedsACard) {
    AddCard("POP Accounts", CardFields{"mail", "pop.example.org", "me", "p@ss", ""});
    QApplication::clipboard()->setText("before");
    SelectCategory("POP Accounts");
    EXPECT_FALSE(app->QueryCommand(res::CopyPasswordButton).enabled);
    frame->OnCopyPassword();
    EXPECT_EQ(QApplication::clipboard()->text(), "before");
    SelectCard("POP Accounts", "mail");
    EXPECT_TRUE(Run(res::CopyPasswordButton));
    EXPECT_EQ(QApplication::clipboard()->text(), "p@ss");
    EXPECT_EQ(frame->GetCardClipboard().full, 0);
}

TEST_F(CardCommandsTest, WithoutACardWindowTheCommandsDoNothing) {
    app->GetDocManager().CloseAllDocuments();
    Settle();
    EXPECT_FALSE(app->QueryCommand(res::AddCardButton).enabled);
    EXPECT_TRUE(Run(res::NewCard));
    EXPECT_TRUE(Run(cmd::EditFind));
    EXPECT_EQ(frame->FindDialog(), nullptr);
    EXPECT_EQ(CategoryCount(), "0");
}

}  // namespace
}  // namespace tessarel::test
