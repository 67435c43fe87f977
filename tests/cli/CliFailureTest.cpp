// Bad card files give the program's own messages and exit 1; bad JSON is refused before anything
// is written; wrong command lines exit 2.

#include <gtest/gtest.h>

#include <filesystem>

#include "CliTestSupport.h"

namespace tessarel::testing {
namespace {

constexpr const char* kFailed = "Failed to open document.\n";

RecordCard Named(std::uint8_t code, std::string name) {
    RecordCard card;
    card.code = code;
    card.name = std::move(name);
    return card;
}

TEST(CliFailure, BadCardFilesGiveTheReadersMessagesAndExit1) {
    const std::vector<RecordCard> cards = {Named(0, "One"), Named(2, "Two")};
    const Bytes whole = PlainCardFile(cards, 0);
    Bytes wrongSignature = whole;
    wrongSignature[17] = 'X';
    Bytes unknownBody = PlainCardFile(cards, 0);
    unknownBody[12] = 2;
    Bytes zeroTablesAsStandard = EncryptedCardFile(cards, 0, "secret", 5);
    zeroTablesAsStandard[1] = 6;  // the same body under the wrong key schedule

    struct Case {
        std::string title;
        Bytes file;
        std::string input;
        std::string err;
    } cases[] = {
        {"shorter than a header", Bytes(whole.begin(), whole.begin() + 21), "",
         std::string("This is not a Tessarel file.\n") + kFailed},
        {"wrong signature", wrongSignature, "", std::string("This is not a Tessarel file.\n") + kFailed},
        {"unknown body kind", unknownBody, "", kFailed},
        {"wrong password", EncryptedCardFile(cards, 0, "secret"), "Secret\n",
         std::string("Password not correct, please try again.\n") + kFailed},
        {"empty password", EncryptedCardFile(cards, 0, "secret"), "\n",
         std::string("You must enter a password!\nPassword not correct, please try again.\n") + kFailed},
        {"no password at all", EncryptedCardFile(cards, 0, "secret"), "", kFailed},
        {"zero-table body read with the standard tables", zeroTablesAsStandard, "secret\n",
         std::string("Password not correct, please try again.\n") + kFailed},
        {"1.001 wrong password", LegacyCardFile({{"FTP Servers", "01.01.1999", "F", "", "", "", ""}}, false, "secret"), "wrong\n",
         std::string("Password not correct,try again.\n") + kFailed},
        {"1.002 wrong password", LegacyCardFile({{"FTP Servers", "01.01.1999", "F", "", "", "", ""}}, true, "secret"), "wrong\n",
         std::string("Password not correct, please try again.\n") + kFailed},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.title);
        TempDir dir;
        const std::string path = dir.File("bad.qde");
        WriteBytes(path, test.file);
        for (const char* command : {"export", "ls"}) {
            const CliRun run = RunCli({command, path}, test.input);
            EXPECT_EQ(run.exitStatus, 1);
            EXPECT_EQ(run.out, "");
            EXPECT_EQ(run.err, test.err);
        }
    }
}

TEST(CliFailure, DamagedTailKeepsTheCardsBeforeIt) {
    TempDir dir;
    const std::string path = dir.File("cut.qdf");
    const Bytes whole = PlainCardFile({Named(0, "Kept"), Named(0, "Lost in the cut")}, 0);
    WriteBytes(path, Bytes(whole.begin(), whole.end() - 5));
    const CliRun run = RunCli({"export", path});
    ASSERT_EQ(run.exitStatus, 0) << run.err;
    const QJsonArray cards = ParseJson(run.out)["cards"].toArray();
    ASSERT_EQ(cards.size(), 1);
    EXPECT_EQ(cards[0].toObject()["name"].toString(), "Kept");
}

TEST(CliFailure, MissingFilesAndSingleEncryptedFilesAreRefused) {
    TempDir dir;
    const CliRun missing = RunCli({"export", dir.File("none.qdf")});
    EXPECT_EQ(missing.exitStatus, 1);
    EXPECT_EQ(missing.err, "Cannot open file " + dir.File("none.qdf") + ": No such file or directory\n" + kFailed);

    WriteBytes(dir.File("notes.~~~"), PlainCardFile({Named(0, "x")}, 0));
    const CliRun single = RunCli({"ls", dir.File("notes.~~~")});
    EXPECT_EQ(single.exitStatus, 1);
    EXPECT_EQ(single.out, "");
    EXPECT_NE(single.err.find("encrypted single file"), std::string::npos) << single.err;
}

TEST(CliFailure, ImportRefusesWhatTheSchemaOrTheFormatCannotHoldAndWritesNothing) {
    struct Case {
        std::string json;
        std::string message;  // part of the message on standard error
    } cases[] = {
        {"{\"cards\": [", "not valid JSON"},
        {"[]", "the top level must be an object"},
        {"{\"cards\": {}}", "\"cards\" must be an array"},
        {"{\"cards\": [], \"carried\": -1}", "\"carried\" must be a whole number from 0 to 4294967295"},
        {"{\"cards\": [], \"encrypted\": 1}", "\"encrypted\" must be true or false"},
        {"{\"cards\": [], \"extra\": 1}", "unknown key \"extra\""},
        {"{\"cards\": [{\"name\": \"x\"}]}", "cards[0] has no \"category\""},
        {"{\"cards\": [{\"category\": 256, \"statusFlags\": 2}]}", "\"cards[0].category\" must be a whole number from 0 to 255"},
        {"{\"cards\": [{\"category\": \"0\"}]}", "\"cards[0].category\" must be a whole number from 0 to 255"},
        {"{\"cards\": [{\"category\": 1.5}]}", "\"cards[0].category\" must be a whole number from 0 to 255"},
        {"{\"cards\": [{\"category\": 0, \"modified\": 4294967296}]}", "\"cards[0].modified\" must be a whole number"},
        {"{\"cards\": [{\"category\": 0}, {\"category\": 0, \"name\": \"\\u0100\"}]}", "\"cards[1].name\" holds U+0100, which Windows-1252 cannot hold"},
        {"{\"cards\": [{\"category\": 0, \"note\": \"a\\u0000b\"}]}", "\"cards[0].note\" holds U+0000"},
        {"{\"cards\": [{\"category\": 0, \"password\": \"\\ud800\"}]}", "\"cards[0].password\" holds a lone surrogate"},
        {"{\"cards\": [{\"category\": 0, \"field2\": 5}]}", "\"cards[0].field2\" must be a string"},
        {"{\"cards\": [{\"category\": 0, \"field3\": \"" + std::string(32767, 'x') + "\"}]}", "card texts are shorter than 32767"},
        {"{\"cards\": [{\"category\": 0, \"deleted\": true}]}", "\"cards[0].deleted\" disagrees with bit 0x02"},
        {"{\"cards\": [{\"category\": 15}]}", "a card that is not deleted needs a category from 0 to 14"},
        {"{\"cards\": [{\"category\": 0, \"pasword\": \"x\"}]}", "cards[0] has the unknown key \"pasword\""},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.message);
        TempDir dir;
        WriteBytes(dir.File("in.json"), Bytes(test.json.begin(), test.json.end()));
        const Bytes previous = PlainCardFile({Named(0, "Previous")}, 0);
        WriteBytes(dir.File("out.qdf"), previous);
        const CliRun run = RunCli({"import", dir.File("in.json"), dir.File("out.qdf")});
        EXPECT_EQ(run.exitStatus, 1);
        EXPECT_NE(run.err.find(test.message), std::string::npos) << run.err;
        EXPECT_EQ(run.err.rfind(dir.File("in.json") + ": ", 0), 0u) << run.err;
        EXPECT_EQ(ReadBytes(dir.File("out.qdf")), previous);
    }
}

TEST(CliFailure, EncryptedImportWithoutAPasswordStopsAndKeepsThePreviousFile) {
    TempDir dir;
    const std::string json = R"({"encrypted": true, "cards": [{"category": 0, "name": "x"}]})";
    WriteBytes(dir.File("in.json"), Bytes(json.begin(), json.end()));
    const Bytes previous = PlainCardFile({Named(0, "Previous")}, 0);
    WriteBytes(dir.File("out.qde"), previous);
    for (const char* input : {"\n", ""}) {
        const CliRun run = RunCli({"import", dir.File("in.json"), dir.File("out.qde")}, input);
        EXPECT_EQ(run.exitStatus, 1);
        EXPECT_EQ(run.err, "The encryption password is not set.\n");
        EXPECT_EQ(ReadBytes(dir.File("out.qde")), previous);
    }
    const CliRun missing = RunCli({"import", dir.File("none.json"), dir.File("out.qde")});
    EXPECT_EQ(missing.exitStatus, 1);
    EXPECT_EQ(missing.err, "Cannot open file " + dir.File("none.json") + ": No such file or directory\n");
}

// A password line longer than the limit is refused with a message, never cut to the limit: a cut
// one would open nothing or, worse, encrypt a file under a key the user never gave.
TEST(CliFailure, PasswordLinesLongerThanTheLimitAreRefusedNotCut) {
    TempDir dir;
    const std::string longest(4096, 'k');
    const std::string path = dir.File("cards.qde");
    WriteBytes(path, EncryptedCardFile({Named(0, "One")}, 0, longest));
    const CliRun fits = RunCli({"ls", path}, longest + "\n");
    EXPECT_EQ(fits.exitStatus, 0) << fits.err;

    const std::string refused = "The password is longer than 4096 bytes; it was not used.\n";
    const CliRun opened = RunCli({"ls", path}, longest + "k\n");
    EXPECT_EQ(opened.exitStatus, 1);
    EXPECT_EQ(opened.out, "");
    EXPECT_EQ(opened.err, refused + kFailed);

    const std::string json = R"({"encrypted": true, "cards": [{"category": 0, "name": "x"}]})";
    WriteBytes(dir.File("in.json"), Bytes(json.begin(), json.end()));
    const Bytes previous = PlainCardFile({Named(0, "Previous")}, 0);
    WriteBytes(dir.File("out.qde"), previous);
    const CliRun imported = RunCli({"import", dir.File("in.json"), dir.File("out.qde")}, longest + "k\n");
    EXPECT_EQ(imported.exitStatus, 1);
    EXPECT_EQ(imported.err, refused);
    EXPECT_EQ(ReadBytes(dir.File("out.qde")), previous);
}

// A password with a character card files cannot hold: the message names the field and never
// shows the password or the character at fault, on each path a password comes in by.
TEST(CliFailure, MessagesNameThePasswordFieldNotItsCharacters) {
    const std::string secret = "Tea\xC4\x81Time";  // U+0101 inside
    struct Case {
        std::string title;
        std::string sourceName;
        std::string source;
        std::vector<std::string> arguments;  // the source and the output file follow
        std::string typed;
        std::string message;
    } cases[] = {
        {"import JSON", "in.json", R"({"cards": [{"category": 0, "name": "Tea", "password": ")" + secret + R"("}]})", {"import"}, "",
         "\"cards[0].password\" holds a character, which Windows-1252 cannot hold."},
        {"import JSON, zero character", "in.json", R"({"cards": [{"category": 0, "password": "Tea\u0000Time"}]})", {"import"}, "",
         "\"cards[0].password\" holds a zero character, which a card text cannot hold."},
        {"import from CSV", "chrome.csv", "name,url,username,password,note\nTea,https://tea.example,u," + secret + ",\n",
         {"import", "--from", "chrome-csv"}, "", "  line 2 \"Tea\" (WWW Sites): Password: 1 character (not shown)\n"},
        {"encryption password", "in.json", R"({"encrypted": true, "cards": []})", {"import"}, secret + "\n",
         "The password holds a character that cannot be used.\n"},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.title);
        TempDir dir;
        WriteBytes(dir.File(test.sourceName), Bytes(test.source.begin(), test.source.end()));
        std::vector<std::string> arguments = test.arguments;
        arguments.push_back(dir.File(test.sourceName));
        arguments.push_back(dir.File("out.qde"));
        const CliRun run = RunCli(arguments, test.typed);
        EXPECT_EQ(run.exitStatus, 1);
        EXPECT_NE(run.err.find(test.message), std::string::npos) << run.err;
        for (const char* shown : {"Time", "\xC4\x81", "U+0101", "U+0000"}) EXPECT_EQ(run.err.find(shown), std::string::npos) << run.err;
        EXPECT_FALSE(std::filesystem::exists(dir.File("out.qde")));
    }
}

TEST(CliFailure, WrongCommandLinesAreUsageErrors) {
    const std::vector<std::vector<std::string>> lines = {
        {},
        {"frobnicate"},
        {"export"},
        {"export", "a.qdf", "b.qdf"},
        {"export", "a.qdf", "--format", "xml"},
        {"export", "a.qdf", "--format"},
        {"export", "a.qdf", "--reveal"},
        {"import", "a.json"},
        {"ls"},
        {"show", "a.qdf"},
        {"show", "a.qdf", "name", "--reveal=yes"},
        {"find", "a.qdf"},
        {"find", "a.qdf", "x", "y"},
    };
    for (const auto& line : lines) {
        SCOPED_TRACE(line.empty() ? std::string("(none)") : line[0] + " ...");
        const CliRun run = RunCli(line);
        EXPECT_EQ(run.exitStatus, 2);
        EXPECT_EQ(run.out, "");
        EXPECT_NE(run.err.find("usage:"), std::string::npos) << run.err;
    }
    // "--" ends the options, so a file whose name starts with dashes can still be named.
    TempDir dir;
    WriteBytes(dir.File("--odd.qdf"), PlainCardFile({}, 0));
    EXPECT_EQ(RunCli({"ls", "--", dir.File("--odd.qdf")}).exitStatus, 0);
}

}  // namespace
}  // namespace tessarel::testing
