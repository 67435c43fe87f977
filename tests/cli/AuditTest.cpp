// tessarel-cli audit: the password report as text and JSON, the exit status a script relies on
// (0 only when nothing is weak or reused), encrypted files, usage errors, and no password printed.

#include <gtest/gtest.h>

#include "CliTestSupport.h"

namespace tessarel::testing {
namespace {

RecordCard Card(std::uint8_t code, std::string name, std::string password, std::uint32_t modified) {
    RecordCard card;
    card.code = code;
    card.name = std::move(name);
    card.password = std::move(password);
    card.modified = modified;
    return card;
}

const std::string kStrong = "vK7#qz!R2m@Lw9$Tn4";
const std::string kStrong2 = "Gq8&wP3!zL6^rT1%yX";

class CliAudit : public ::testing::Test {
protected:
    void SetUp() override { path = dir.File("cards.qdf"); }

    TempDir dir;
    std::string path;
};

TEST_F(CliAudit, ExitStatusIsZeroOnlyWhenNothingIsWeakOrReused) {
    const std::uint32_t old = SecondsSince1904(2001, 5, 1);
    struct Case {
        const char* what;
        std::vector<RecordCard> cards;
        int status;
    };
    const Case cases[] = {
        {"strong and distinct, one old", {Card(0, "a", kStrong, old), Card(5, "b", kStrong2, 0)}, 0},
        {"no card with a password", {Card(8, "visa", "1234", 0), Card(4, "mail", "", 0)}, 0},
        {"one weak", {Card(0, "a", kStrong, old), Card(14, "b", "letmein", 0)}, 1},
        {"one reused across categories", {Card(0, "a", kStrong, 0), Card(6, "b", kStrong, 0)}, 1},
        {"one empty", {Card(2, "ftp", "", 0)}, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteBytes(path, PlainCardFile(c.cards, 0));
        for (const char* format : {"text", "json"}) {
            const CliRun run = RunCli({"audit", path, "--format", format});
            EXPECT_EQ(run.exitStatus, c.status) << format << ": " << run.err;
            EXPECT_EQ(run.err, "");
        }
    }
}

TEST_F(CliAudit, TextAndJsonListTheFlagsButNeverAPassword) {
    const std::uint32_t old = SecondsSince1904(2001, 5, 1);
    WriteBytes(path, PlainCardFile({Card(0, "Shop", "sunshine1", old), Card(5, "Server", "sunshine1", 0), Card(1, "Caf\xE9", kStrong, 0),
                                    Card(2, "Empty", "", 0), Card(9, "ATM", "sunshine1", 0)},
                                   0));
    const CliRun text = RunCli({"audit", path});
    EXPECT_EQ(text.exitStatus, 1) << text.err;
    EXPECT_EQ(text.out.find("sunshine1"), std::string::npos);
    EXPECT_EQ(text.out.find(kStrong), std::string::npos);
    EXPECT_NE(text.out.find("4 cards with a password: 3 weak, 2 reused, 1 empty, 1 older than a year\n"), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("Caf\xC3\xA9\n"), std::string::npos) << "names are printed as UTF-8";
    EXPECT_EQ(text.out.find("ATM"), std::string::npos) << "PIN codes are not in the report";

    const CliRun json = RunCli({"audit", path, "--format=json"});
    EXPECT_EQ(json.exitStatus, 1) << json.err;
    EXPECT_EQ(json.out.find("sunshine1"), std::string::npos);
    const QJsonObject root = ParseJson(json.out);
    EXPECT_EQ(root["weakBelowScore"].toInt(), 3);
    EXPECT_EQ(root["summary"].toObject()["reused"].toInt(), 2);
    const QJsonArray cards = root["cards"].toArray();
    ASSERT_EQ(cards.size(), 4);
    const QJsonObject shop = cards[0].toObject();
    EXPECT_EQ(shop["name"].toString(), "Shop");
    EXPECT_EQ(shop["categoryName"].toString(), "WWW Sites");
    EXPECT_EQ(shop["reusedBy"].toInt(), 1);
    EXPECT_TRUE(shop["weak"].toBool());
    EXPECT_TRUE(shop["old"].toBool());
    EXPECT_GT(shop["ageDays"].toInt(), 9000);
    const QJsonObject cafe = cards[1].toObject();
    EXPECT_EQ(cafe["name"].toString(), QString::fromUtf8("Caf\xC3\xA9"));
    EXPECT_EQ(cafe["score"].toInt(), 4);
    EXPECT_GT(cafe["guessesLog10"].toDouble(), 10.0);
    const QJsonObject empty = cards[2].toObject();
    EXPECT_TRUE(empty["empty"].toBool());
    EXPECT_TRUE(empty["ageDays"].isNull()) << "a card without a date has no age";
}

TEST_F(CliAudit, EncryptedFileAsksItsPasswordAndUsageErrorsExitTwo) {
    const std::string password = "file-Pass-1";
    const std::string encrypted = dir.File("cards.qde");
    WriteBytes(encrypted, EncryptedCardFile({Card(0, "a", kStrong, 0)}, 0, password));
    const CliRun opened = RunCli({"audit", encrypted}, password + "\n");
    EXPECT_EQ(opened.exitStatus, 0) << opened.err;
    EXPECT_NE(opened.out.find("1 card with a password: 0 weak, 0 reused, 0 empty, 0 older than a year"), std::string::npos);
    const CliRun wrong = RunCli({"audit", encrypted}, "not it\n");
    EXPECT_EQ(wrong.exitStatus, 1);
    EXPECT_EQ(wrong.out, "");

    WriteBytes(path, PlainCardFile({}, 0));
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"audit"}, {"audit", path, "--format", "xml"}, {"audit", path, path}, {"audit", path, "--reveal"}}) {
        const CliRun run = RunCli(arguments);
        EXPECT_EQ(run.exitStatus, 2) << arguments.size();
        EXPECT_EQ(run.err, "usage: tessarel-cli audit FILE [--format text|json]\n");
    }
    const CliRun missing = RunCli({"audit", dir.File("none.qdf")});
    EXPECT_EQ(missing.exitStatus, 1);
    EXPECT_NE(missing.err, "");
}

}  // namespace
}  // namespace tessarel::testing
