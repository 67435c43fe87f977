// export reads card files of every layout made by the independent writer; import of that export
// writes the current layout byte for byte as the independent writer does.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <optional>

#include "CliTestSupport.h"

namespace tessarel::testing {
namespace {

RecordCard Card(std::uint8_t code, std::string name, std::uint8_t status = 0) {
    RecordCard card;
    card.code = code;
    card.name = std::move(name);
    card.statusFlags = status;
    return card;
}

// Cards in save order, with everything a record carries: flags, sync values, CR LF in a note,
// Windows-1252 bytes above 0x7F (0x81 is unassigned and still round-trips), empty texts, a
// deleted card, and a deleted card whose code lies outside the fifteen categories.
std::vector<RecordCard> CurrentCards() {
    RecordCard shop = Card(0, "Example Shop");
    shop.field2 = "https://shop.example.com/";
    shop.field3 = "alice";
    shop.password = "s3cret";
    shop.note = "line one\r\nline \"two\", more";
    shop.modified = 3786912000u;
    shop.recordFlags = 0x5A;
    shop.syncValue = 0xDEADBEEFu;
    shop.statusFlags = 0x04;
    RecordCard cafe = Card(0, "Caf\xE9 \x80\x81");
    cafe.password = "\xA3\xFF";
    RecordCard pop = Card(6, "Mail");
    pop.modified = 0xFFFFFFFFu;
    RecordCard login = Card(5, "Shell");
    RecordCard empty = Card(14, "");
    RecordCard gone = Card(3, "Old News", 0x02);
    gone.syncValue = 7;
    RecordCard stray = Card(20, "Stray", 0x06);
    return {shop, cafe, login, pop, empty, gone, stray};
}

std::vector<LegacyCard> LegacyCards() {
    return {
        {"WWW Pages", "15.03.1998", "Home", "http://home.example/", "me", "pw1", "two\r\nlines"},
        {"FTP Servers", "98/03/16", "Files", "ftp://files.example/", "anon", "", ""},
        {"Password Manager", "01.01.1999", "Dropped", "", "", "", ""},
        {"", "02.01.1999", "No Category", "", "", "x", ""},
        {"Membership Numbers", "01-12-2001", "Club", "", "Me", "42", ""},
    };
}

// What the reader makes of LegacyCards(), in save order.
std::vector<RecordCard> LegacyCardsRead() {
    auto card = [](std::uint8_t code, const LegacyCard& legacy, std::uint32_t modified) {
        RecordCard read = Card(code, legacy.name);
        read.field2 = legacy.field2;
        read.field3 = legacy.field3;
        read.password = legacy.password;
        read.note = legacy.note;
        read.modified = modified;
        return read;
    };
    const auto legacy = LegacyCards();
    return {card(0, legacy[0], SecondsSince1904(1998, 3, 15)), card(2, legacy[1], SecondsSince1904(1998, 3, 16)),
            card(13, legacy[4], SecondsSince1904(2001, 12, 1)), card(14, legacy[3], SecondsSince1904(1999, 1, 2))};
}

// Expected UTF-8 of the few texts above that are not ASCII.
std::string Utf8(const std::string& bytes) {
    if (bytes == "Caf\xE9 \x80\x81") return "Caf\xC3\xA9 \xE2\x82\xAC\xC2\x81";
    if (bytes == "\xA3\xFF") return "\xC2\xA3\xC3\xBF";
    return bytes;
}

void ExpectCard(const QJsonObject& json, const RecordCard& card) {
    SCOPED_TRACE("card " + card.name);
    EXPECT_EQ(json["category"].toInt(-1), card.code);
    EXPECT_EQ(json["categoryName"].toString().toStdString(), card.code < 15 ? kNames[card.code] : "");
    EXPECT_EQ(json["name"].toString().toStdString(), Utf8(card.name));
    EXPECT_EQ(json["field2"].toString().toStdString(), Utf8(card.field2));
    EXPECT_EQ(json["field3"].toString().toStdString(), Utf8(card.field3));
    EXPECT_EQ(json["password"].toString().toStdString(), Utf8(card.password));
    EXPECT_EQ(json["note"].toString().toStdString(), Utf8(card.note));
    EXPECT_EQ(json["modified"].toDouble(-1), card.modified);
    EXPECT_EQ(json["recordFlags"].toInt(-1), card.recordFlags);
    EXPECT_EQ(json["syncValue"].toDouble(-1), card.syncValue);
    EXPECT_EQ(json["statusFlags"].toInt(-1), card.statusFlags);
    ASSERT_TRUE(json["deleted"].isBool());
    EXPECT_EQ(json["deleted"].toBool(), (card.statusFlags & 0x02) != 0);
}

struct LayoutCase {
    std::string title;
    Bytes file;
    std::string password;  // empty for plain files
    std::string layout;
    std::optional<int> version;
    std::uint32_t carried = 0;
    std::vector<RecordCard> cards;  // what the export lists, in save order
    Bytes imported;                 // what import of that export writes
};

std::vector<LayoutCase> LayoutCases() {
    const auto cards = CurrentCards();
    const std::string password = "Pa\xDF w\xF6rd!";  // Windows-1252 bytes, typed as UTF-8
    // The plain file holds its records out of save order: the export and the rewritten file put
    // them back into it.
    std::vector<RecordCard> shuffled = {cards[5], cards[3], cards[0], cards[6], cards[1], cards[2], cards[4]};
    const auto legacy = LegacyCardsRead();
    return {
        {"current plain", PlainCardFile(shuffled, 0x01020304u), "", "current", 6, 0x01020304u, cards, PlainCardFile(cards, 0x01020304u)},
        {"current encrypted", EncryptedCardFile(cards, 77, password), password, "current", 6, 77, cards, EncryptedCardFile(cards, 77, password)},
        {"current encrypted, zero tables", EncryptedCardFile(cards, 0, password, 5), password, "current", 5, 0, cards,
         EncryptedCardFile(cards, 0, password)},
        {"1.001 plain", LegacyCardFile(LegacyCards(), false), "", "1.001", std::nullopt, 0, legacy, PlainCardFile(legacy, 0)},
        {"1.001 encrypted", LegacyCardFile(LegacyCards(), false, password), password, "1.001", std::nullopt, 0, legacy,
         EncryptedCardFile(legacy, 0, password)},
        {"1.002 plain", LegacyCardFile(LegacyCards(), true), "", "1.002", std::nullopt, 0, legacy, PlainCardFile(legacy, 0)},
        {"1.002 encrypted", LegacyCardFile(LegacyCards(), true, password), password, "1.002", std::nullopt, 0, legacy,
         EncryptedCardFile(legacy, 0, password)},
    };
}

std::string PasswordLine(const std::string& windows1252) {
    // The terminal side speaks UTF-8; the two non-ASCII letters of the test password in UTF-8.
    std::string line;
    for (const char c : windows1252) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            line.push_back(c);
        } else {  // Latin-1 range letters only in this test
            line.push_back(static_cast<char>(0xC0 | (byte >> 6)));
            line.push_back(static_cast<char>(0x80 | (byte & 0x3F)));
        }
    }
    return line + "\n";
}

TEST(CliExportImport, ReadsEveryLayoutAndRewritesTheCurrentOneByteForByte) {
    for (const auto& layout : LayoutCases()) {
        SCOPED_TRACE(layout.title);
        TempDir dir;
        const std::string input = dir.File(layout.password.empty() ? "cards.qdf" : "cards.qde");
        WriteBytes(input, layout.file);
        const std::string typed = layout.password.empty() ? "" : PasswordLine(layout.password);

        const CliRun exported = RunCli({"export", input}, typed);
        ASSERT_EQ(exported.exitStatus, 0) << exported.err;
        EXPECT_EQ(exported.err, "");
        const QJsonObject json = ParseJson(exported.out);
        EXPECT_EQ(json["layout"].toString().toStdString(), layout.layout);
        EXPECT_EQ(json["encrypted"].toBool(), !layout.password.empty());
        EXPECT_EQ(json.contains("version"), layout.version.has_value());
        EXPECT_EQ(json.contains("carried"), layout.version.has_value());
        if (layout.version) {
            EXPECT_EQ(json["version"].toInt(-1), *layout.version);
            EXPECT_EQ(json["carried"].toDouble(-1), layout.carried);
        }
        const QJsonArray cards = json["cards"].toArray();
        ASSERT_EQ(static_cast<std::size_t>(cards.size()), layout.cards.size());
        for (qsizetype i = 0; i < cards.size(); ++i) ExpectCard(cards[i].toObject(), layout.cards[static_cast<std::size_t>(i)]);

        const std::string jsonFile = dir.File("cards.json");
        WriteBytes(jsonFile, Bytes(exported.out.begin(), exported.out.end()));
        const std::string output = dir.File("rewritten");
        const CliRun imported = RunCli({"import", jsonFile, output}, typed);
        ASSERT_EQ(imported.exitStatus, 0) << imported.err;
        EXPECT_EQ(ReadBytes(output), layout.imported);
    }
}

TEST(CliExportImport, CsvHasAHeaderRowQuotesAsRfc4180AndKeepsLineBreaks) {
    TempDir dir;
    const std::string path = dir.File("cards.qdf");
    WriteBytes(path, PlainCardFile(CurrentCards(), 0));
    const CliRun run = RunCli({"export", path, "--format", "csv"});
    ASSERT_EQ(run.exitStatus, 0) << run.err;
    const std::string expected =
        "category,categoryName,name,field2,field3,password,note,modified,recordFlags,syncValue,statusFlags,deleted\r\n"
        "0,WWW Sites,Example Shop,https://shop.example.com/,alice,s3cret,\"line one\r\nline \"\"two\"\", more\",3786912000,90,3735928559,4,false\r\n"
        "0,WWW Sites,Caf\xC3\xA9 \xE2\x82\xAC\xC2\x81,,,\xC2\xA3\xC3\xBF,,0,0,0,0,false\r\n"
        "5,Login Accounts,Shell,,,,,0,0,0,0,false\r\n"
        "6,POP Accounts,Mail,,,,,4294967295,0,0,0,false\r\n"
        "14,Miscellaneous,,,,,,0,0,0,0,false\r\n"
        "3,Newsgroups,Old News,,,,,0,0,7,2,true\r\n"
        "20,,Stray,,,,,0,0,0,6,true\r\n";
    EXPECT_EQ(run.out, expected);
    EXPECT_EQ(RunCli({"export", path, "--format=csv"}).out, expected);
}

// The export goes out in pieces of a few dozen KiB: thousands of cards, stored out of save order
// and with deleted and stray ones among them, come out in save order, each whole, in both formats.
TEST(CliExportImport, ManyCardsStreamOutInSaveOrder) {
    std::vector<RecordCard> stored;
    for (int i = 0; i < 4000; ++i) {
        const int kind = (i * 7) % 17;  // 0..14 a category, 15 deleted, 16 a stray deleted code
        RecordCard card = Card(static_cast<std::uint8_t>(kind < 15 ? kind : kind == 15 ? i % 15 : 30), "card " + std::to_string(i),
                               kind >= 15 ? 0x02 : 0);
        card.note = std::string(static_cast<std::size_t>(i % 50), 'n') + "\r\n\"q\",";
        card.syncValue = static_cast<std::uint32_t>(i);
        stored.push_back(card);
    }
    std::vector<RecordCard> saveOrder;
    for (int code = 0; code <= 15; ++code) {
        for (const auto& card : stored) {
            const bool deleted = (card.statusFlags & 0x02) != 0;
            if (code < 15 ? (!deleted && card.code == code) : deleted) saveOrder.push_back(card);
        }
    }
    TempDir dir;
    const std::string password = "stream password";
    const std::string path = dir.File("many.qde");
    WriteBytes(path, EncryptedCardFile(stored, 0, password));
    const CliRun json = RunCli({"export", path}, password + "\n");
    ASSERT_EQ(json.exitStatus, 0) << json.err;
    ASSERT_GT(json.out.size(), std::size_t{4} << 18);
    const QJsonArray cards = ParseJson(json.out)["cards"].toArray();
    ASSERT_EQ(static_cast<std::size_t>(cards.size()), saveOrder.size());
    for (qsizetype i = 0; i < cards.size(); ++i) ExpectCard(cards[i].toObject(), saveOrder[static_cast<std::size_t>(i)]);

    const CliRun csv = RunCli({"export", path, "--format", "csv"}, password + "\n");
    ASSERT_EQ(csv.exitStatus, 0) << csv.err;
    std::string expected = "category,categoryName,name,field2,field3,password,note,modified,recordFlags,syncValue,statusFlags,deleted\r\n";
    for (const auto& card : saveOrder) {
        expected += std::to_string(card.code) + "," + (card.code < 15 ? kNames[card.code] : "") + "," + card.name + ",,,,\"" +
                    std::string(card.note.size() - 6, 'n') + "\r\n\"\"q\"\",\",0,0," + std::to_string(card.syncValue) + "," +
                    std::to_string(card.statusFlags) + "," + ((card.statusFlags & 0x02) ? "true" : "false") + "\r\n";
    }
    EXPECT_EQ(csv.out, expected);
}

TEST(CliExportImport, EmptyFileSaysSoAndListsNoCards) {
    TempDir dir;
    const std::string path = dir.File("empty.qdf");
    WriteBytes(path, {});
    const CliRun json = RunCli({"export", path});
    EXPECT_EQ(json.exitStatus, 0);
    EXPECT_EQ(json.err, "Empty File !\n");
    EXPECT_TRUE(ParseJson(json.out)["cards"].toArray().isEmpty());
    EXPECT_FALSE(ParseJson(json.out).contains("version"));

    const CliRun csv = RunCli({"export", path, "--format", "csv"});
    EXPECT_EQ(csv.exitStatus, 0);
    EXPECT_EQ(csv.err, "Empty File !\n");
    EXPECT_EQ(csv.out, "category,categoryName,name,field2,field3,password,note,modified,recordFlags,syncValue,statusFlags,deleted\r\n");
}

TEST(CliExportImport, ImportWithoutCardsWritesTheEmptyFilesOfTheFormat) {
    TempDir dir;
    const std::string plain = dir.File("plain.json");
    WriteBytes(plain, Bytes{'{', '"', 'c', 'a', 'r', 'd', 's', '"', ':', '[', ']', '}'});
    ASSERT_EQ(RunCli({"import", plain, dir.File("plain.qdf")}).exitStatus, 0);
    EXPECT_EQ(ReadBytes(dir.File("plain.qdf")), PlainCardFile({}, 0));
    EXPECT_EQ(ReadBytes(dir.File("plain.qdf")).size(), 22u);

    const std::string encrypted = dir.File("encrypted.json");
    const std::string text = R"({"encrypted": true, "carried": 4294967295, "cards": []})";
    WriteBytes(encrypted, Bytes(text.begin(), text.end()));
    ASSERT_EQ(RunCli({"import", encrypted, dir.File("encrypted.qde")}, "secret\n").exitStatus, 0);
    EXPECT_EQ(ReadBytes(dir.File("encrypted.qde")), EncryptedCardFile({}, 0xFFFFFFFFu, "secret"));
    EXPECT_EQ(ReadBytes(dir.File("encrypted.qde")).size(), 46u);
}

// An export holds every password in clear: --output writes exactly what standard output gets, as
// a file only the owner can read, whatever the umask and whatever mode the file it replaces had.
TEST(CliExportImport, OutputFileIsOwnerOnlyAndHoldsTheStandardOutputExport) {
    const mode_t previousMask = ::umask(022);
    TempDir dir;
    const std::string password = "Pa\xDF w\xF6rd!";
    const std::string input = dir.File("cards.qde");
    WriteBytes(input, EncryptedCardFile(CurrentCards(), 77, password));
    for (const std::string format : {"json", "csv", "keepassxc-csv"}) {
        SCOPED_TRACE(format);
        const CliRun printed = RunCli({"export", input, "--format", format}, PasswordLine(password));
        ASSERT_EQ(printed.exitStatus, 0) << printed.err;
        ASSERT_FALSE(printed.out.empty());
        for (const bool replacing : {false, true}) {
            SCOPED_TRACE(replacing ? "replacing a 0644 file" : "new file");
            const std::string output = dir.File("export-" + format + (replacing ? "-old" : "-new"));
            if (replacing) {
                WriteBytes(output, Bytes{'o', 'l', 'd'});
                ASSERT_EQ(::chmod(output.c_str(), 0644), 0);
            }
            const CliRun written = RunCli({"export", input, "--format", format, "--output", output}, PasswordLine(password));
            ASSERT_EQ(written.exitStatus, 0) << written.err;
            EXPECT_EQ(written.out, "");
            EXPECT_EQ(Text(ReadBytes(output)), printed.out);
            struct stat info {};
            ASSERT_EQ(::stat(output.c_str(), &info), 0);
            EXPECT_EQ(info.st_mode & 0777, 0600u);
        }
    }
    // A folder that does not exist: the reason, status 1, nothing written.
    const std::string missing = dir.File("no-such-folder/export.json");
    const CliRun failed = RunCli({"export", input, "--output", missing}, PasswordLine(password));
    EXPECT_EQ(failed.exitStatus, 1);
    EXPECT_EQ(failed.err, "Cannot save file " + missing + ": No such file or directory\n");
    ::umask(previousMask);
}

}  // namespace
}  // namespace tessarel::testing
