// File > Import... through the command routing: the file dialog, the Import dialog with its
// guessed format and column mapping, the questions and the summary, all through the dialog seam.
#include <QComboBox>
#include <QFile>
#include <QLabel>

#include "CardsFixture.h"
#include "framework/Dialog.h"
#include "resources/ResourceIds.h"

namespace tessarel::test {
namespace {

using ImportCommandTest = CardsFixture;

QString WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return path;
}

const QByteArray kKeePassXc =
    "\"Group\",\"Title\",\"Username\",\"Password\",\"URL\",\"Notes\",\"TOTP\",\"Icon\",\"Last Modified\",\"Created\"\n"
    "\"Root/Internet\",\"Shop\",\"alice\",\"pw\",\"https://shop.example\",\"\",\"\",\"0\",\"2024-03-01T11:30:45Z\",\"\"\n"
    "\"Root/Credit Cards\",\"Visa\",\"4111\",\"1234\",\"12/27\",\"\",\"\",\"0\",\"\",\"\"\n"
    "\"Root\",\"Tea\",\"bob\",\"x\",\"https://tea.example\",\"cup \xE2\x98\x95\",\"\",\"0\",\"\",\"\"\n";

// Scripts the Import dialog: records the format it showed, then OK.
void AcceptImportDialog(ScriptedDialogHost& dialogs, QString& shownFormat) {
    dialogs.RunDialog([&shownFormat](Dialog& dialog) {
        shownFormat = dialog.findChild<QComboBox*>("ImportFormat")->currentText();
        return int(QDialog::Accepted);
    });
}

TEST_F(ImportCommandTest, AddsTheCardsAsOneChangeAfterTheQuestionsAndTheSummary) {
    const QString path = WriteFile(Path("keepassxc.csv"), kKeePassXc);
    dialogs->AnswerFile(path);
    QString shownFormat;
    AcceptImportDialog(*dialogs, shownFormat);
    dialogs->AnswerMessage(MessageAnswer::Yes);  // replace the characters
    dialogs->AnswerMessage(MessageAnswer::Ok);   // the summary
    ASSERT_TRUE(Run(res::ImportCards));
    EXPECT_EQ(dialogs->PendingSteps(), 0u);
    EXPECT_EQ(shownFormat, "KeePassXC CSV");
    const std::vector<std::string> expected = {
        "1 entries hold characters that a card cannot hold (outside Windows-1252):\n"
        "  line 4 \"Tea\" (WWW Sites): Note: U+2615\n\n"
        "Replace those characters with \"?\" (Yes), skip these entries (No), or import nothing (Cancel)?",
        "Import 3 entries from " + path.toStdString() + " (KeePassXC CSV):\n"
        "Cards to add: 2 WWW Sites, 1 Credit Cards (3 in all).\n"
        "Changed, characters replaced by \"?\": 1:\n"
        "  line 4 \"Tea\" (WWW Sites): Note: U+2615 replaced by \"?\""};
    EXPECT_EQ(Messages(), expected);
    EXPECT_EQ(CardNames("WWW Sites"), QStringList({"Shop", "Tea"}));
    EXPECT_EQ(CardNames("Credit Cards"), QStringList({"Visa"}));
    EXPECT_TRUE(Doc()->IsModified());
    EXPECT_EQ(TotalCount(), "3");
    EXPECT_EQ(std::string(Doc()->GetCategoryList(0)->GetAt(0)->GetNote()), "Group: Internet");

    // The same file again: the question about cards already there, then nothing to add.
    dialogs->AnswerFile(path);
    AcceptImportDialog(*dialogs, shownFormat);
    dialogs->AnswerMessage(MessageAnswer::Yes);  // replace
    dialogs->AnswerMessage(MessageAnswer::No);   // skip the duplicates
    ASSERT_TRUE(Run(res::ImportCards));
    EXPECT_EQ(dialogs->PendingSteps(), 0u);
    EXPECT_EQ(Messages().back(), "Import 3 entries from " + path.toStdString() + " (KeePassXC CSV):\nCards to add: none.\n"
                                 "Skipped, already in the card file: 3:\n  line 2 \"Shop\" (WWW Sites)\n  line 3 \"Visa\" (Credit Cards)\n"
                                 "  line 4 \"Tea\" (WWW Sites)");
    EXPECT_EQ(TotalCount(), "3");
}

TEST_F(ImportCommandTest, CancellingLeavesTheCardFileAsItWas) {
    const QString path = WriteFile(Path("keepassxc.csv"), kKeePassXc);
    dialogs->AnswerFile(path);
    QString shownFormat;
    AcceptImportDialog(*dialogs, shownFormat);
    dialogs->AnswerMessage(MessageAnswer::No);      // skip the entry with the coffee cup
    dialogs->AnswerMessage(MessageAnswer::Cancel);  // at the summary
    ASSERT_TRUE(Run(res::ImportCards));
    EXPECT_NE(Messages().back().find("Skipped, text that Windows-1252 cannot hold: 1:"), std::string::npos);
    EXPECT_FALSE(Doc()->IsModified());
    EXPECT_TRUE(CardNames("WWW Sites").isEmpty());
}

TEST_F(ImportCommandTest, AGenericCsvIsMappedInTheDialogAndAFaultySourceIsRefused) {
    const QString path = WriteFile(Path("mine.csv"), "Site,Secret,Comment\nRouter,hunter2,in the hall\n");
    dialogs->AnswerFile(path);
    QString shownFormat;
    dialogs->RunDialog([&shownFormat](Dialog& dialog) {
        shownFormat = dialog.findChild<QComboBox*>("ImportFormat")->currentText();
        // Without a Title the dialog asks for one and stays open.
        dialog.findChild<QComboBox*>("Map_Password")->setCurrentText("Secret");
        dialog.OnOK();
        dialog.findChild<QComboBox*>("Map_Title")->setCurrentText("Site");
        return int(QDialog::Accepted);
    });
    dialogs->AnswerMessage(MessageAnswer::Ok);  // "Choose the column ..."
    dialogs->AnswerMessage(MessageAnswer::Ok);  // the summary
    ASSERT_TRUE(Run(res::ImportCards));
    EXPECT_EQ(shownFormat, "Other CSV (map the columns)");
    ASSERT_EQ(Messages().size(), 2u);
    EXPECT_EQ(Messages()[0], "Choose the column that names each card (Title).");
    EXPECT_EQ(Messages()[1], "Import 1 entries from " + path.toStdString() + " (Other CSV (map the columns)):\nCards to add: 1 Miscellaneous (1 in all).");
    EXPECT_EQ(CardNames("Miscellaneous"), QStringList({"Router"}));
    ASSERT_EQ(Doc()->GetCategoryList(14)->GetCount(), 1);
    const CCard* card = Doc()->GetCategoryList(14)->GetAt(0);
    EXPECT_EQ(std::string(card->GetFieldText4()), "hunter2");
    EXPECT_EQ(std::string(card->GetNote()), "Comment: in the hall");

    const QString bad = WriteFile(Path("bad.csv"), "name,url,username,password\na,b,c,d\ne,f\n");
    dialogs->AnswerFile(bad);
    AcceptImportDialog(*dialogs, shownFormat);
    ASSERT_TRUE(Run(res::ImportCards));
    EXPECT_EQ(shownFormat, "Chrome/Chromium passwords CSV");
    EXPECT_EQ(Messages().back(), bad.toStdString() + " cannot be imported as Chrome/Chromium passwords CSV: line 3 has 2 fields; the header has 4.\n"
                                                     "Nothing was imported.");
    EXPECT_EQ(CardNames("WWW Sites"), QStringList());
}

TEST_F(ImportCommandTest, WithNoCardFileOpenTheCardsGoIntoANewOne) {
    Doc()->SetModifiedFlag(false);
    app->GetDocManager().CloseAllDocuments();
    Settle();
    ASSERT_EQ(Doc(), nullptr);
    const QString path = WriteFile(Path("chrome.csv"), "name,url,username,password\nsite,https://s.example,u,p\n");
    dialogs->AnswerFile(path);
    QString shownFormat;
    AcceptImportDialog(*dialogs, shownFormat);
    dialogs->AnswerMessage(MessageAnswer::Ok);
    ASSERT_TRUE(Run(res::ImportCards));
    EXPECT_EQ(Messages().back(), "Import 1 entries from " + path.toStdString() +
                                     " (Chrome/Chromium passwords CSV) into a new card file:\nCards to add: 1 WWW Sites (1 in all).");
    ASSERT_NE(Doc(), nullptr);
    EXPECT_EQ(CardNames("WWW Sites"), QStringList({"site"}));
    EXPECT_TRUE(Doc()->IsModified());
}

}  // namespace
}  // namespace tessarel::test
