// tessarel-cli import --from and export --format keepassxc-csv, end to end on real files.
#include <gtest/gtest.h>

#include "CliTestSupport.h"

namespace tessarel::testing {
namespace {

void WriteText(const std::string& path, const std::string& text) { WriteBytes(path, Bytes(text.begin(), text.end())); }

QJsonArray ExportedCards(const std::string& path, const std::string& input = "") {
    const CliRun run = RunCli({"export", path}, input);
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    return ParseJson(run.out)["cards"].toArray();
}

const std::string kFirefox =
    "\"url\",\"username\",\"password\",\"httpRealm\",\"formActionOrigin\",\"guid\",\"timeCreated\",\"timeLastUsed\",\"timePasswordChanged\"\r\n"
    "\"https://forum.example\",\"dave\",\"pw1\",,\"https://forum.example\",\"{a}\",\"1\",\"1\",\"1709292645000\"\r\n"
    "\"https://mail.example\",\"erin\",\"pw2\",,,\"{b}\",\"1\",\"1\",\"\"\r\n";

TEST(CliImportFrom, AddsCardsPrintsTheSummaryAndDoesNotDoubleThem) {
    TempDir dir;
    WriteText(dir.File("logins.csv"), kFirefox);
    const std::string out = dir.File("cards.qdf");
    const CliRun first = RunCli({"import", "--from", "firefox-csv", dir.File("logins.csv"), out});
    ASSERT_EQ(first.exitStatus, 0) << first.err;
    EXPECT_EQ(first.err, "Read 2 entries from " + dir.File("logins.csv") + " (firefox-csv).\nCards to add: 2 WWW Sites (2 in all).\n");
    const QJsonArray cards = ExportedCards(out);
    ASSERT_EQ(cards.size(), 2);
    EXPECT_EQ(cards[0].toObject()["name"].toString(), "forum.example");
    EXPECT_EQ(cards[0].toObject()["note"].toString(), "Form action: https://forum.example");
    // 2024-03-01 11:30:45 UTC is 12:30:45 on the Berlin clock the tests run on.
    EXPECT_EQ(cards[0].toObject()["modified"].toDouble(), 1709292645.0 + 3600 + 2082844800.0);

    const Bytes before = ReadBytes(out);
    const CliRun again = RunCli({"import", "--from=firefox-csv", dir.File("logins.csv"), out});
    ASSERT_EQ(again.exitStatus, 0) << again.err;
    EXPECT_NE(again.err.find("Cards to add: none.\nSkipped, already in the card file: 2:\n  line 2 \"forum.example\" (WWW Sites)\n"), std::string::npos)
        << again.err;
    EXPECT_EQ(ReadBytes(out), before);

    ASSERT_EQ(RunCli({"import", "--from", "firefox-csv", "--allow-duplicates", dir.File("logins.csv"), out}).exitStatus, 0);
    EXPECT_EQ(ExportedCards(out).size(), 4);
}

TEST(CliImportFrom, TextOutsideWindows1252StopsTheImportUntilTheUserChooses) {
    TempDir dir;
    WriteText(dir.File("chrome.csv"), "name,url,username,password,note\nTea \xE2\x98\x95,https://tea.example,u,p,\nPlain,https://p.example,u,p,\n");
    const std::string out = dir.File("cards.qdf");
    const CliRun refused = RunCli({"import", "--from", "chrome-csv", dir.File("chrome.csv"), out});
    EXPECT_EQ(refused.exitStatus, 1);
    EXPECT_NE(refused.err.find("  line 2 \"Tea \xE2\x98\x95\" (WWW Sites): Name: U+2615\nUse --skip-unsupported or --replace-unsupported to choose.\n"),
              std::string::npos)
        << refused.err;
    EXPECT_FALSE(std::filesystem::exists(out));

    ASSERT_EQ(RunCli({"import", "--from", "chrome-csv", "--skip-unsupported", dir.File("chrome.csv"), out}).exitStatus, 0);
    EXPECT_EQ(ExportedCards(out).size(), 1);
    const CliRun replaced = RunCli({"import", "--from", "chrome-csv", "--replace-unsupported", dir.File("chrome.csv"), out});
    ASSERT_EQ(replaced.exitStatus, 0) << replaced.err;
    EXPECT_NE(replaced.err.find("Changed, characters replaced by \"?\": 1:"), std::string::npos) << replaced.err;
    const QJsonArray cards = ExportedCards(out);
    ASSERT_EQ(cards.size(), 2);
    EXPECT_EQ(cards[1].toObject()["name"].toString(), "Tea ?");
}

TEST(CliImportFrom, RefusesBadSourcesAndUsage) {
    TempDir dir;
    WriteText(dir.File("bad.csv"), "name,url,username,password\na,b,c,d\ne,f\n");
    const std::string out = dir.File("cards.qdf");
    const CliRun bad = RunCli({"import", "--from", "chrome-csv", dir.File("bad.csv"), out});
    EXPECT_EQ(bad.exitStatus, 1);
    EXPECT_EQ(bad.err, dir.File("bad.csv") + ": line 3 has 2 fields; the header has 4. Nothing was imported.\n");
    EXPECT_FALSE(std::filesystem::exists(out));

    const std::vector<std::vector<std::string>> usage = {
        {"import", "--from", "lastpass-csv", dir.File("bad.csv"), out},
        {"import", "--from", "csv", dir.File("bad.csv"), out},
        {"import", "--from", "chrome-csv", "--map", "a=Title", dir.File("bad.csv"), out},
        {"import", "--from", "csv", "--map", "a=Nickname", dir.File("bad.csv"), out},
        {"import", "--from", "chrome-csv", "--skip-unsupported", "--replace-unsupported", dir.File("bad.csv"), out},
        {"export", dir.File("bad.csv"), "--format", "keepass-csv"},
    };
    for (const auto& arguments : usage) EXPECT_EQ(RunCli(arguments).exitStatus, 2) << arguments[2];
}

TEST(CliImportFrom, GenericCsvWithAMapAndAnEncryptedCardFileStaysEncrypted) {
    TempDir dir;
    WriteText(dir.File("empty.json"), R"({"encrypted": true, "cards": []})");
    const std::string out = dir.File("cards.qde");
    ASSERT_EQ(RunCli({"import", dir.File("empty.json"), out}, "secret\n").exitStatus, 0);
    WriteText(dir.File("mine.csv"), "Site,Secret,Comment\nRouter,hunter2,in the hall\n");
    const CliRun run = RunCli({"import", "--from", "csv", "--map", "Site=Title,Secret=Password", dir.File("mine.csv"), out}, "secret\n");
    ASSERT_EQ(run.exitStatus, 0) << run.err;
    const CliRun exported = RunCli({"export", out}, "secret\n");
    ASSERT_EQ(exported.exitStatus, 0) << exported.err;
    const QJsonObject top = ParseJson(exported.out);
    EXPECT_TRUE(top["encrypted"].toBool());
    ASSERT_EQ(top["cards"].toArray().size(), 1);
    const QJsonObject card = top["cards"].toArray()[0].toObject();
    EXPECT_EQ(card["categoryName"].toString(), "Miscellaneous");
    EXPECT_EQ(card["password"].toString(), "hunter2");
    EXPECT_EQ(card["note"].toString(), "Comment: in the hall");
}

TEST(CliImportFrom, KeePassXcCsvExportReadsBackAsTheSameCards) {
    TempDir dir;
    WriteText(dir.File("cards.json"), R"({"cards": [
      {"category": 0, "name": "Shop, \"best\"", "field2": "https://shop.example", "field3": "alice", "password": "p,w", "note": "a\r\nb", "modified": 3786912000},
      {"category": 9, "name": "ATM", "field2": "Bank", "field3": "Tel", "password": "0000", "note": "caf\u00e9 \u20ac", "modified": 3800000000},
      {"category": 3, "name": "gone", "statusFlags": 2}]})");
    ASSERT_EQ(RunCli({"import", dir.File("cards.json"), dir.File("cards.qdf")}).exitStatus, 0);
    const CliRun csv = RunCli({"export", dir.File("cards.qdf"), "--format", "keepassxc-csv"});
    ASSERT_EQ(csv.exitStatus, 0) << csv.err;
    WriteText(dir.File("keepassxc.csv"), csv.out);
    ASSERT_EQ(RunCli({"import", "--from", "keepassxc-csv", dir.File("keepassxc.csv"), dir.File("back.qdf")}).exitStatus, 0);

    const QJsonArray before = ExportedCards(dir.File("cards.qdf"));
    const QJsonArray after = ExportedCards(dir.File("back.qdf"));
    ASSERT_EQ(after.size(), 2);  // the deleted card is not exported
    for (int i = 0; i < 2; ++i) {
        for (const char* key : {"category", "name", "field2", "field3", "password", "note", "modified"}) {
            EXPECT_EQ(after[i].toObject()[key], before[i].toObject()[key]) << i << " " << key;
        }
    }
}

}  // namespace
}  // namespace tessarel::testing
