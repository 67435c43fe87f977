// One person's session from a new file to a reopened encrypted one: add, edit, delete, find,
// save encrypted, open again, everything as it was.
#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>

#include "CardsFixture.h"
#include "framework/CommandIds.h"
#include "framework/Dialog.h"
#include "mainframe/CFindCardDlg.h"
#include "resources/ResourceIds.h"

namespace tessarel::test {
namespace {

using EndToEndTest = CardsFixture;

struct Snapshot {
    int code;
    std::string name, second, third, password, note;
    std::uint32_t modified;
    bool operator==(const Snapshot&) const = default;
};

std::vector<Snapshot> Cards(const CCardList& list, int code) {
    std::vector<Snapshot> cards;
    for (const auto& card : list)
        cards.push_back(Snapshot{code, std::string(card->GetFieldText1()), std::string(card->GetFieldText2()),
                                 std::string(card->GetFieldText3()), std::string(card->GetFieldText4()),
                                 std::string(card->GetNote()), card->GetModified()});
    return cards;
}

std::vector<Snapshot> AllCards(CTessarelDoc& doc) {
    std::vector<Snapshot> cards;
    for (int code = 0; code < 15; ++code) {
        auto some = Cards(*doc.GetCategoryList(code), code);
        cards.insert(cards.end(), some.begin(), some.end());
    }
    auto deleted = Cards(doc.GetDeletedList(), -1);
    cards.insert(cards.end(), deleted.begin(), deleted.end());
    return cards;
}

TEST_F(EndToEndTest, AddEditDeleteFindSaveEncryptedAndReopen) {
    AddCard("WWW Sites", CardFields{"Shop", "http://shop.example", "buyer", "sh0p!", "order\nhistory"});
    AddCard("Bank Accounts", CardFields{"Bank", "0042", "Jo", "DE00 1234", ""});
    AddCard("Bank Accounts", CardFields{"Old bank", "0001", "Jo", "closed", ""});
    AddCard("Software Keys", CardFields{"Editor", "http://editor.example", "Jo", "KEY-123", ""});

    SelectCard("WWW Sites", "Shop");
    dialogs->RunDialog([](Dialog& dialog) {
        dialog.findChild<QLineEdit*>(QString::number(res::ControlCardField3))->setText("customer");
        return int(QDialog::Accepted);
    });
    ASSERT_TRUE(Run(res::EditCard));

    SelectCard("Bank Accounts", "Old bank");
    dialogs->AnswerMessage(MessageAnswer::Ok);
    ASSERT_TRUE(Run(res::DeleteCard));
    EXPECT_EQ(TotalCount(), "3");

    ASSERT_TRUE(Run(cmd::EditFind));
    auto* find = qobject_cast<CFindCardDlg*>(frame->FindDialog());
    ASSERT_NE(find, nullptr);
    find->findChild<QLineEdit*>(QString::number(res::ControlSearchText))->setText("key-");
    find->findChild<QCheckBox*>(QString::number(res::ControlIgnoreCase))->setChecked(true);
    find->findChild<QPushButton*>(QString::number(res::ControlFind))->click();
    EXPECT_EQ(SelectedText(), "Editor");
    find->reject();
    Settle();

    const std::vector<Snapshot> before = AllCards(*Doc());
    ASSERT_EQ(before.size(), 4u);
    EXPECT_EQ(before[0].third, "customer");
    EXPECT_EQ(before.back().name, "Old bank");

    dialogs->RunDialog([](Dialog& dialog) {
        auto* box = dialog.findChild<QCheckBox*>(QString::number(res::ControlEncryptFlag));
        if (!box->isChecked()) box->click();
        dialog.findChild<QLineEdit*>(QString::number(res::ControlEncryptPassword))->setText("a long password");
        dialog.findChild<QLineEdit*>(QString::number(res::ControlEncryptConfirm))->setText("a long password");
        return int(QDialog::Accepted);
    });
    ASSERT_TRUE(Run(res::EncryptOnSave));
    const QString path = Path("cards.qde");
    dialogs->AnswerFile(path);
    ASSERT_TRUE(Run(cmd::FileSave));
    EXPECT_FALSE(Doc()->IsModified());
    app->GetDocManager().CloseAllDocuments();
    Settle();

    dialogs->RunDialog([](Dialog& dialog) {
        dialog.findChild<QLineEdit*>(QString::number(res::ControlDecryptPassword))->setText("a long password");
        return int(QDialog::Accepted);
    });
    auto* reopened = dynamic_cast<CTessarelDoc*>(app->GetDocManager().OpenDocumentFile(path));
    ASSERT_NE(reopened, nullptr);
    Settle();
    EXPECT_EQ(AllCards(*reopened), before);
    EXPECT_TRUE(reopened->GetDeletedList().GetAt(0)->IsDeleted());
    EXPECT_EQ(CardNames("Bank Accounts"), QStringList({"Bank"}));
    EXPECT_EQ(TotalCount(), "3");
    SelectCard("WWW Sites", "Shop");
    EXPECT_EQ(List()->RowValue(4), "order...");
    EXPECT_EQ(List()->RowValue(2), "customer");
}

}  // namespace
}  // namespace tessarel::test
