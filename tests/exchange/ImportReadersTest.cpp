// Each reader over a small fixture written from the format's published layout: where every
// value of an entry ends up on the card, and how a faulty source is refused.
#include <gtest/gtest.h>

#include "exchange/BitwardenJsonReader.h"
#include "exchange/BrowserCsvReader.h"
#include "exchange/ImportFormat.h"
#include "exchange/KeePassXcCsvReader.h"

namespace tessarel {
namespace {

struct Want {
    int code;
    std::array<std::string, 4> fields;
    std::string note;
    std::optional<std::int64_t> modifiedUtc = std::nullopt;
};

void ExpectCards(const ImportRead& read, const std::vector<Want>& want, const std::string& name) {
    ASSERT_EQ(read.error, "") << name;
    ASSERT_EQ(read.cards.size(), want.size()) << name;
    for (std::size_t i = 0; i < want.size(); ++i) {
        const ImportedCard& card = read.cards[i];
        EXPECT_EQ(card.categoryCode, want[i].code) << name << " card " << i;
        for (std::size_t f = 0; f < 4; ++f) EXPECT_EQ(std::string(card.fields[f]), want[i].fields[f]) << name << " card " << i << " field " << f;
        EXPECT_EQ(std::string(card.note), want[i].note) << name << " card " << i;
        EXPECT_EQ(card.modifiedUtc, want[i].modifiedUtc) << name << " card " << i;
    }
}

constexpr const char* kKeePassXcHeader =
    "\"Group\",\"Title\",\"Username\",\"Password\",\"URL\",\"Notes\",\"TOTP\",\"Icon\",\"Last Modified\",\"Created\"\n";

TEST(KeePassXcCsv, MapsEveryColumnOfTheCurrentAndOlderHeaders) {
    const std::string current = std::string("\xEF\xBB\xBF") + kKeePassXcHeader +
        "\"Root/Internet\",\"Shop, online\",\"alice\",\"p\"\"w\",\"https://shop.example\",\"line 1\nline 2\",\"otpauth://totp/x?secret=AB\",\"0\","
        "\"2024-03-01T11:30:45Z\",\"2020-01-01T00:00:00Z\"\n"
        "\"Root\",\"Router\",\"admin\",\"\",\"\",\"\",\"\",\"12\",\"not a date\",\"\"\n"
        "\"Root/Credit Cards\",\"Visa\",\"4111\",\"1234\",\"12/27\",\"\",\"\",\"0\",\"\",\"\"\n";
    ExpectCards(ReadKeePassXcCsv(current),
                {{0, {"Shop, online", "https://shop.example", "alice", "p\"w"}, "Group: Internet\r\nline 1\r\nline 2\r\nTOTP: otpauth://totp/x?secret=AB", 1709292645},
                 {14, {"Router", "", "admin", ""}, "Last Modified: not a date"},
                 {8, {"Visa", "12/27", "4111", "1234"}, ""}},
                "current header");

    // KeePassX and early KeePassXC: six columns; columns found by name in any order; an unknown
    // column is kept in the note.
    const std::string older = "Title,Group,Username,Password,URL,Notes,Extra\nMail,Work,bob,pw,https://mail.example,,kept\n";
    ExpectCards(ReadKeePassXcCsv(older), {{0, {"Mail", "https://mail.example", "bob", "pw"}, "Group: Work\r\nExtra: kept"}}, "older header");
}

TEST(KeePassXcCsv, RefusesTheWholeFileOnAMalformedRow) {
    const std::pair<std::string, std::string> cases[] = {
        {std::string(kKeePassXcHeader) + "\"Root\",\"A\",\"\",\"\",\"\",\"\",\"\",\"0\",\"\",\"\"\n\"Root\",\"B\",\"\"\n",
         "line 3 has 3 fields; the header has 10."},
        {std::string(kKeePassXcHeader) + "\"Root\",\"A\",\"\",\"\",\"\",\"open note\n", "line 2: a quoted field is not closed before the end of the file."},
        {"Name,Secret\nx,y\n", "the header has no \"Title\" or no \"Password\" column, as KeePassXC's CSV export has."},
        {"", "the file has no header row."},
    };
    for (const auto& [text, error] : cases) {
        const ImportRead read = ReadKeePassXcCsv(text);
        EXPECT_EQ(read.error, error);
        EXPECT_TRUE(read.cards.empty());
    }
}

TEST(BitwardenJson, MapsTheFourItemTypesAndFolders) {
    const std::string json = R"({
  "encrypted": false,
  "folders": [{"id": "f1", "name": "Banking"}],
  "items": [
    {"id": "i1", "folderId": "f1", "type": 1, "name": "Bank login", "notes": "branch\nnote", "favorite": false,
     "fields": [{"name": "PIN hint", "value": "birthday", "type": 0}, {"name": "Trusted", "value": true, "type": 2}],
     "login": {"uris": [{"match": null, "uri": "https://bank.example"}, {"match": null, "uri": "https://m.bank.example"}],
               "username": "carol", "password": "s3cret", "totp": "JBSWY3DP"},
     "revisionDate": "2023-06-15T08:00:00.000Z"},
    {"id": "i2", "folderId": null, "type": 2, "name": "Wifi", "notes": "key: abc", "secureNote": {"type": 0}},
    {"id": "i3", "folderId": null, "type": 3, "name": "Visa Gold",
     "card": {"cardholderName": "Carol Doe", "brand": "Visa", "number": "4111111111111111", "expMonth": "7", "expYear": "2027", "code": "123"}},
    {"id": "i4", "folderId": "unknown", "type": 4, "name": "Passport",
     "identity": {"title": "Ms", "firstName": "Carol", "middleName": null, "lastName": "Doe", "passportNumber": "X123", "city": "Berlin"}},
    {"id": "i5", "type": 1, "name": "No address", "login": {"username": "u", "password": "p", "uris": []}}
  ]
})";
    ExpectCards(ReadBitwardenJson(json),
                {{0, {"Bank login", "https://bank.example", "carol", "s3cret"},
                  "Group: Banking\r\nbranch\r\nnote\r\nURL 2: https://m.bank.example\r\nTOTP: JBSWY3DP\r\nPIN hint: birthday\r\nTrusted: true", 1686816000},
                 {14, {"Wifi", "", "", ""}, "key: abc"},
                 {8, {"Visa Gold", "7/2027", "4111111111111111", "123"}, "Cardholder: Carol Doe\r\nBrand: Visa"},
                 {10, {"Passport", "Identity", "", ""}, "Name: Ms Carol Doe\r\nCity: Berlin\r\nPassport number: X123"},
                 {14, {"No address", "", "u", "p"}, ""}},
                "bitwarden");
}

TEST(BitwardenJson, RefusesWhatItCannotRead) {
    const std::pair<std::string, std::string> cases[] = {
        {R"({"encrypted": true, "encKeyValidation_DO_NOT_EDIT": "x", "items": []})",
         "this is an encrypted Bitwarden export; export the vault again as unencrypted JSON."},
        {R"({"items": {}})", "\"items\" must be an array, as Bitwarden's JSON export has."},
        {R"({"items": [{"type": 1, "name": "ok"}, {"type": 9, "name": "new kind"}]})",
         "items[1] has the type 9, which is none of login (1), secure note (2), card (3) and identity (4)."},
        {R"({"items": [{"name": "no type"}]})", "items[0] has no numeric \"type\"."},
        {R"({"items": [{"type": 1e300}]})", "items[0] has the type 1e+300, which is none of login (1), secure note (2), card (3) and identity (4)."},
        {R"({"items": [)", "not valid JSON: unexpected end of the text at offset 11."},
    };
    for (const auto& [text, error] : cases) {
        const ImportRead read = ReadBitwardenJson(text);
        EXPECT_EQ(read.error, error);
        EXPECT_TRUE(read.cards.empty());
    }
}

TEST(BrowserCsv, FirefoxAndChromeExports) {
    const std::string firefox =
        "\"url\",\"username\",\"password\",\"httpRealm\",\"formActionOrigin\",\"guid\",\"timeCreated\",\"timeLastUsed\",\"timePasswordChanged\"\r\n"
        "\"https://user@forum.example:8443/login\",\"dave\",\"pa,ss\",,\"https://forum.example\",\"{abc}\",\"1600000000000\",\"1700000000000\",\"1650000000123\"\r\n"
        "\"https://intranet.example\",\"\",\"x\",\"Staff only\",,\"{def}\",\"1\",\"1\",\"\"\r\n";
    ExpectCards(ReadFirefoxCsv(firefox),
                {{0, {"forum.example", "https://user@forum.example:8443/login", "dave", "pa,ss"}, "Form action: https://forum.example", 1650000000},
                 {0, {"intranet.example", "https://intranet.example", "", "x"}, "HTTP realm: Staff only"}},
                "firefox");

    const std::string chrome = "name,url,username,password,note\nexample.com,https://example.com/,erin,\"multi\nline\",\"a note\"\n,https://x.example/a,,p,\n";
    ExpectCards(ReadChromeCsv(chrome),
                {{0, {"example.com", "https://example.com/", "erin", "multi\nline"}, "a note"}, {0, {"x.example", "https://x.example/a", "", "p"}, ""}},
                "chrome with note");
    ExpectCards(ReadChromeCsv("name,url,username,password\nsite,https://s.example,u,p\n"), {{0, {"site", "https://s.example", "u", "p"}, ""}},
                "chrome without note");
    EXPECT_EQ(ReadChromeCsv("title,password\nx,y\n").error, "the header has no \"url\" or no \"password\" column, as Chrome's password export has.");
}

TEST(GenericCsv, MapsColumnsAndKeepsTheRestInTheNote) {
    std::string error;
    const auto map = ParseCsvFieldMap("Site=title,Address=URL,Login=Username,Secret=password,Folder=group", error);
    ASSERT_TRUE(map) << error;
    ExpectCards(ReadGenericCsv("Site,Address,Login,Secret,Folder,Comment\nS,https://s.example,u,p,Private,remember\n", *map),
                {{0, {"S", "https://s.example", "u", "p"}, "Group: Private\r\nComment: remember"}}, "generic");
    EXPECT_EQ(ReadGenericCsv("Site,Address,Login,Secret\nS,a,l,p\n", *map).error, "the header has no column \"Folder\" (mapped to Group).");
    EXPECT_EQ(ReadGenericCsv("a\nb\n", {}).error, "no column is mapped to Title, which names each card.");

    const std::pair<std::string, std::string> bad[] = {
        {"name", "\"name\" is not COLUMN=FIELD."},
        {"name=Nickname", "\"Nickname\" is not a field; the fields are Title, URL, Username, Password, Notes, Group and Modified."},
        {"a=Title,b=title", "the field Title is mapped twice."},
    };
    for (const auto& [text, message] : bad) {
        std::string got;
        EXPECT_FALSE(ParseCsvFieldMap(text, got));
        EXPECT_EQ(got, message);
    }
}

TEST(ImportFormat, GuessesEachFormatFromItsContent) {
    const std::pair<std::string, ImportFormat> cases[] = {
        {std::string("\xEF\xBB\xBF") + kKeePassXcHeader, ImportFormat::KeePassXcCsv},
        {"Group,Title,Username,Password,URL,Notes\n", ImportFormat::KeePassXcCsv},
        {"  \n{\"items\": []}", ImportFormat::BitwardenJson},
        {"\"url\",\"username\",\"password\",\"httpRealm\",\"formActionOrigin\",\"guid\",\"timeCreated\",\"timeLastUsed\",\"timePasswordChanged\"\r\n",
         ImportFormat::FirefoxCsv},
        {"name,url,username,password,note\n", ImportFormat::ChromeCsv},
        {"Site,Secret\n", ImportFormat::GenericCsv},
        {"\"open\n", ImportFormat::GenericCsv},
    };
    for (const auto& [text, format] : cases) EXPECT_EQ(GuessImportFormat(text), format) << text;
    for (const ImportFormat format : AllImportFormats()) EXPECT_EQ(ImportFormatFromName(ImportFormatName(format)), format);
}

}  // namespace
}  // namespace tessarel
