// Get Web Page: a new card from the page the browser shows, in the categories that take one.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>

#include "BrowserCommandsFixture.h"
#include "cardstore/CCard.h"
#include "framework/Dialog.h"
#include "framework/Settings.h"
#include "resources/ResourceIds.h"

namespace tessarel::test {
namespace {

using Requests = std::vector<std::string>;

class GetWebPageTest : public BrowserCommandsFixture {
protected:
    void SetUp() override {
        BrowserCommandsFixture::SetUp();
        WriteInt(setting::ChooseWebBrowser, 1);
    }
};

TEST_F(GetWebPageTest, TheBrowsersPageBecomesACardInTheSupportedCategories) {
    StartPeer({"--title", "Corvale Bank"});
    // The browser shows the page it was last asked to open.
    EXPECT_TRUE(Run(res::HomePage));
    TakeRequests(1);
    struct Case {
        QString category;
        QStringList labels;
        bool browserAttributes;
        bool accept;
    };
    const Case cases[] = {
        {"WWW Sites", {"Name:", "URL:", "User ID:", "Password:"}, true, true},
        {"FTP Servers", {"Name:", "URL:", "User ID:", "Password:"}, true, false},
        {"Software Keys", {"Product:", "Home Page:", "Licensed To:", "Software Key:"}, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.category.toStdString());
        SelectCategory(c.category);
        dialogs->RunDialog([&c](Dialog& dialog) {
            auto edit = [&dialog](int id) { return dialog.findChild<QLineEdit*>(QString::number(id))->text(); };
            EXPECT_EQ(edit(res::ControlCardName), "Corvale Bank");
            EXPECT_EQ(edit(res::ControlCardField2), "https://tessarel.corvale.example/");
            for (int i = 0; i < 4; ++i)
                EXPECT_EQ(dialog.findChild<QLabel*>(QString::number(res::ControlCardLabel1 + i))->text(), c.labels[i]);
            EXPECT_EQ(dialog.findChild<QCheckBox*>(QString::number(res::ControlAutomaticAccess))->isEnabled(), c.browserAttributes);
            return int(c.accept ? QDialog::Accepted : QDialog::Rejected);
        });
        EXPECT_TRUE(Run(res::GetWebPage));
        EXPECT_EQ(TakeRequests(1), Requests{"REQUEST WWW_GetWindowInfo 4294967295"});
        EXPECT_EQ(CardNames(c.category).contains("Corvale Bank"), c.accept);
        if (!c.accept) continue;
        const CCard* card = Tree()->GetCurrentCard();
        ASSERT_NE(card, nullptr) << "the new card is selected";
        EXPECT_EQ(std::string(card->GetFieldText2()), "https://tessarel.corvale.example/");
        EXPECT_NE(card->GetModified(), 0u);
        EXPECT_FALSE(card->GetDateText().empty());
        EXPECT_TRUE(Doc()->IsModified());
    }
    EXPECT_EQ(dialogs->PendingSteps(), 0u);
    EXPECT_TRUE(Messages().empty());
}

// The card dialog of a web page refuses what a card cannot store while it is still open.
TEST_F(GetWebPageTest, AnUnstorableTextIsMendedInTheOpenDialog) {
    StartPeer({"--title", "Corvale Bank"});
    EXPECT_TRUE(Run(res::HomePage));
    TakeRequests(1);
    SelectCategory("WWW Sites");
    const QString typed = QString::fromUtf8("Corvale \xe6\x97\xa5");
    dialogs->RunDialog([&typed](Dialog& dialog) {
        dialog.findChild<QLineEdit*>(QString::number(res::ControlCardField3))->setText(typed);
        return int(QDialog::Accepted);
    });
    dialogs->RunDialog([&typed](Dialog& dialog) {
        auto* third = dialog.findChild<QLineEdit*>(QString::number(res::ControlCardField3));
        EXPECT_EQ(dialog.focusWidget(), third);
        EXPECT_EQ(third->text(), typed);
        EXPECT_EQ(dialog.findChild<QLineEdit*>(QString::number(res::ControlCardName))->text(), "Corvale Bank");
        third->setText("me");
        return int(QDialog::Accepted);
    });
    EXPECT_TRUE(Run(res::GetWebPage));
    TakeRequests(1);
    EXPECT_EQ(Messages(), std::vector<std::string>{"The character \"\xe6\x97\xa5\" cannot be used here."});
    ASSERT_NE(Tree()->GetCurrentCard(), nullptr);
    EXPECT_EQ(std::string(Tree()->GetCurrentCard()->GetFieldText1()), "Corvale Bank");
    EXPECT_EQ(std::string(Tree()->GetCurrentCard()->GetFieldText3()), "me");
    EXPECT_EQ(dialogs->PendingSteps(), 0u);
}

TEST_F(GetWebPageTest, OtherCategoriesAreRefusedAndAnEmptyPageShowsNoDialog) {
    StartPeer({"--title", "Page"});
    SelectCategory("Bank Accounts");
    EXPECT_TRUE(Run(res::GetWebPage));
    EXPECT_EQ(Messages(), std::vector<std::string>{"This command is not supported for this category."});
    EXPECT_TRUE(CardNames("Bank Accounts").isEmpty());

    // A browser that answers with no data, and one that shows no page: no card dialog at all
    // (an unscripted dialog would be reported as a problem by the fixture).
    for (const QStringList& arguments : {QStringList{"--silent", "WWW_GetWindowInfo"}, QStringList{"--title", ""}}) {
        SCOPED_TRACE(arguments.join(' ').toStdString());
        StartPeer(arguments);
        SelectCategory("WWW Sites");
        EXPECT_TRUE(Run(res::GetFromBrowserButton));
        EXPECT_EQ(TakeRequests(1), Requests{"REQUEST WWW_GetWindowInfo 4294967295"});
        EXPECT_TRUE(CardNames("WWW Sites").isEmpty());
    }
    EXPECT_EQ(Messages().size(), 1u);
    EXPECT_TRUE(waits.empty());
}

}  // namespace
}  // namespace tessarel::test
