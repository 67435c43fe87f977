// ls, show and find: the category tree, one card as the field list shows it, and the search of
// the Find Card dialog.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "CliTestSupport.h"

namespace tessarel::testing {
namespace {

RecordCard Card(std::uint8_t code, std::string name, std::string password = "", std::string note = "") {
    RecordCard card;
    card.code = code;
    card.name = std::move(name);
    card.password = std::move(password);
    card.note = std::move(note);
    return card;
}

class CliBrowse : public ::testing::Test {
protected:
    void SetUp() override { path = dir.File("cards.qdf"); }
    void Write(const std::vector<RecordCard>& cards) { WriteBytes(path, PlainCardFile(cards, 0)); }

    TempDir dir;
    std::string path;
};

TEST_F(CliBrowse, LsListsTheFifteenCategoriesInCodeOrderWithCardsInByteOrder) {
    RecordCard deleted = Card(0, "Zed", "", "");
    deleted.statusFlags = 0x02;
    Write({Card(5, "b"), Card(0, "b"), Card(0, "A"), Card(0, "a"), Card(6, "Mail"), deleted, Card(14, "Caf\xE9")});
    const CliRun run = RunCli({"ls", path});
    ASSERT_EQ(run.exitStatus, 0) << run.err;
    std::string expected;
    for (int code = 0; code < 15; ++code) {
        expected += std::string(kNames[static_cast<std::size_t>(code)]) + "\n";
        if (code == 0) expected += "  A\n  a\n  b\n";
        if (code == 5) expected += "  b\n";
        if (code == 6) expected += "  Mail\n";
        if (code == 14) expected += "  Caf\xC3\xA9\n";
    }
    EXPECT_EQ(run.out, expected);
}

TEST_F(CliBrowse, ShowGivesTheRowsOfTheFieldListWithThePasswordMasked) {
    RecordCard site = Card(0, "Shop", "s3cret", "first line\r\nsecond line");
    site.field2 = "https://shop.example/";
    site.field3 = "alice";
    site.modified = SecondsSince1904(2024, 1, 31) + 23 * 3600 + 30 * 60;  // late in the evening, local clock
    RecordCard form = Card(1, "Form", std::string(300, 'p'),
                           "A long note of more than sixty characters that goes on and on and on");
    Write({site, form});

    const CliRun shown = RunCli({"show", path, "Shop"});
    ASSERT_EQ(shown.exitStatus, 0) << shown.err;
    EXPECT_EQ(shown.out,
              "Name:                Shop\n"
              "URL:                 https://shop.example/\n"
              "User ID:             alice\n"
              "Password:            ******\n"
              "Note:                first line...\n"
              "Automatic Access:    Off\n"
              "New Browser Window:  Off\n"
              "Date:                01/31/24\n"
              "\n"
              "first line\n"
              "second line\n");

    const CliRun revealed = RunCli({"show", path, "Shop", "--reveal"});
    EXPECT_NE(revealed.out.find("Password:            s3cret\n"), std::string::npos) << revealed.out;

    // A category outside the browser group has six rows; 300 password characters show 255 stars.
    const CliRun other = RunCli({"show", path, "Form"});
    ASSERT_EQ(other.exitStatus, 0) << other.err;
    EXPECT_EQ(other.out,
              "Name:      Form\n"
              "URL:       \n"
              "User ID:   \n"
              "Password:  " + std::string(255, '*') + "\n"
              "Note:      A long note of more than sixty characters that goes on and...\n"
              "Date:      01/01/04\n"
              "\n"
              "A long note of more than sixty characters that goes on and on and on\n");
}

TEST_F(CliBrowse, ShowTakesTheFirstLiveCardOfThatNameInSaveOrderAndTheStoredDateFormat) {
    RecordCard deleted = Card(0, "Twin", "deleted");
    deleted.statusFlags = 0x02;
    RecordCard later = Card(9, "Twin", "atm");
    RecordCard first = Card(7, "Twin", "bank");
    first.modified = SecondsSince1904(1999, 12, 31);
    Write({deleted, later, first});

    // The program's "Date Format" setting (4 is "%Y-%m-%d") is read from its settings file.
    std::filesystem::create_directories(dir.File("config/Corvale"));
    std::ofstream(dir.File("config/Corvale/Tessarel.conf")) << "[Internet%20Preferences]\nDate%20Format=4\n";
    const CliRun run = RunCli({"show", path, "Twin", "--reveal"}, "", {{"XDG_CONFIG_HOME", dir.File("config")}});
    ASSERT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_EQ(run.out,
              "Bank:            Twin\n"
              "Branch Number:   \n"
              "Account Holder:  \n"
              "Account Number:  bank\n"
              "Note:            \n"
              "Date:            1999-12-31\n");

    const CliRun missing = RunCli({"show", path, "Nobody"});
    EXPECT_EQ(missing.exitStatus, 1);
    EXPECT_EQ(missing.out, "");
    EXPECT_EQ(missing.err, "No card is named \"Nobody\".\n");
}

TEST_F(CliBrowse, FindListsTheMatchesInTheDialogsSearchOrder) {
    RecordCard deleted = Card(0, "abc deleted");
    deleted.statusFlags = 0x02;
    RecordCard misc = Card(14, "Misc", "", "");
    misc.field3 = "xABCx";
    Write({Card(5, "Login abc"), Card(6, "POP", "", "note with abc"), Card(0, "Site", "abc-pass"), deleted, misc,
           Card(2, "Caf\xE9"), Card(3, "Nothing")});

    struct Case {
        std::vector<std::string> arguments;
        int status;
        std::string out, err;
    } cases[] = {
        // POP Accounts (6) is searched before Login Accounts (5); the password field counts.
        {{"find", path, "abc"}, 0, "WWW Sites\tSite\nPOP Accounts\tPOP\nLogin Accounts\tLogin abc\n", ""},
        {{"find", path, "ABC"}, 0, "Miscellaneous\tMisc\n", ""},
        {{"find", path, "abc", "--ignore-case"}, 0,
         "WWW Sites\tSite\nPOP Accounts\tPOP\nLogin Accounts\tLogin abc\nMiscellaneous\tMisc\n", ""},
        // Only a to z are folded: an accented letter matches only itself.
        {{"find", path, "CAF\xC3\x89", "--ignore-case"}, 1, "", "No occurrence of this string can be found, please try again.\n"},
        {{"find", path, "Caf\xC3\xA9"}, 0, "FTP Servers\tCaf\xC3\xA9\n", ""},
        {{"find", path, "deleted"}, 1, "", "No occurrence of this string can be found, please try again.\n"},
        {{"find", path, ""}, 1, "", "Please enter a string.\n"},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.arguments[2]);
        const CliRun run = RunCli(test.arguments);
        EXPECT_EQ(run.exitStatus, test.status);
        EXPECT_EQ(run.out, test.out);
        EXPECT_EQ(run.err, test.err);
    }
}

TEST_F(CliBrowse, EncryptedFilesAskForThePasswordOnStandardInput) {
    WriteBytes(path, EncryptedCardFile({Card(0, "Secret Site", "pw")}, 0, "open sesame"));
    const CliRun run = RunCli({"ls", path}, "open sesame\n");
    ASSERT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_EQ(run.out.substr(0, 24), "WWW Sites\n  Secret Site\n");
    EXPECT_EQ(run.err, "");
}

}  // namespace
}  // namespace tessarel::testing
