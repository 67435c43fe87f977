// Writes the seed corpora under <folder>/<target>/ with the project's own writers: the card file
// writer (plain and encrypted), the file encryption operation, the stub packer's LZSS encoder and
// archive builder, and the IPC frame and "WWW_" argument encoders. The legacy card layouts have no
// writer in the program (it only reads them), so they are assembled here the way the card store's
// tests assemble them.
//
//   fuzz_make_seeds <corpus folder>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "ArchiveBuilder.h"
#include "FuzzSealedKey.h"
#include "FuzzUserInterface.h"
#include "LzssEncoder.h"
#include "browser/DdeArguments.h"
#include "browser/IpcFrame.h"
#include "cardstore/CardFileFormat.h"
#include "cardstore/SealedCardFile.h"
#include "cli/CardJson.h"
#include "exchange/KeePassXcCsvWriter.h"
#include "crypto/Blowfish.h"
#include "crypto/Sha1.h"
#include "filecrypt/EncryptedFileName.h"
#include "filecrypt/FileEncryptionOperations.h"
#include "filecrypt/FileEncryptionState.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;
using tessarel::fuzz::kFuzzPassword;

void Save(const fs::path& path, const std::uint8_t* data, std::size_t size) {
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    if (!out) throw std::runtime_error("cannot write " + path.string());
}
template <typename Container>
void Save(const fs::path& path, const Container& bytes) {
    Save(path, reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}
Bytes ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}
void Put(Bytes& out, std::string_view text) { out.insert(out.end(), text.begin(), text.end()); }

// --- card files ------------------------------------------------------------------------------

void AddCard(tessarel::CCardFileData& doc, std::uint8_t code, std::string_view f1, std::string_view f2, std::string_view note) {
    auto card = std::make_unique<tessarel::CCard>();
    card->SetCategoryCode(code);
    card->SetFieldText1(f1);
    card->SetFieldText2(f2);
    card->SetFieldText3("user");
    card->SetFieldText4("secret");
    card->SetNote(note);
    card->SetDateText("01.02.2024");
    card->SetModified(1700000000u);
    doc.PlaceCard(std::move(card));
}

void CurrentCardFiles(const fs::path& folder) {
    for (int mode : {0, 1}) {
        tessarel::CCardFileData doc;
        AddCard(doc, 0, "Web mail", "https://mail.example.org", "two lines\r\nof note");
        AddCard(doc, 2, "Bank", "1234-5678", "");
        AddCard(doc, 7, "Door", "", "code at the back");
        doc.encryptionMode = mode;
        doc.encryptionPassword = kFuzzPassword;
        tessarel::fuzz::FuzzUserInterface ui;
        tessarel::SecureBytes out;
        if (!tessarel::WriteCardFile(doc, out, ui)) throw std::runtime_error("card writer refused");
        Save(folder / (mode == 0 ? "current-plain.qdf" : "current-encrypted.qdf"), out);
    }
    tessarel::CCardFileData empty;
    tessarel::fuzz::FuzzUserInterface ui;
    tessarel::SecureBytes out;
    if (!tessarel::WriteCardFile(empty, out, ui)) throw std::runtime_error("card writer refused");
    Save(folder / "current-empty.qdf", out);
}

Bytes LegacyRecord(const std::vector<std::string>& texts, const std::string& note) {
    Bytes out;
    for (const auto& text : texts) {
        out.push_back(static_cast<std::uint8_t>(text.size()));
        Put(out, text);
    }
    out.push_back(static_cast<std::uint8_t>(note.size()));
    out.push_back(static_cast<std::uint8_t>(note.size() >> 8));
    Put(out, note);
    out.push_back(0xAA);
    out.push_back(0x55);
    return out;
}

Bytes LegacyFile(const std::string& version, bool encrypted) {
    const std::string password = kFuzzPassword;
    Bytes out;
    Put(out, encrypted ? "ENCRYPTED" : "NTENCRYPT");
    Put(out, version);
    Bytes data;
    if (version == "Version1.001") {
        Put(data, encrypted ? "XYZ" : "chk");
    } else {
        Bytes digest(20);
        tessarel::PasswordDigest(password, digest.data());
        data = digest;
    }
    for (const auto& record : {LegacyRecord({"Internet", "24.12.1998", "Shop", "www.example.com", "me", "pw"}, "note"),
                               LegacyRecord({"Bank", "98/02/01", "Account", "12", "", ""}, "")}) {
        data.insert(data.end(), record.begin(), record.end());
    }
    if (encrypted) {
        data.resize((data.size() + 7) / 8 * 8, 0);
        tessarel::Blowfish bf;
        bf.BlowfishSetKey(reinterpret_cast<const std::uint8_t*>(password.data()), password.size());
        bf.EncryptBlocks(data.data(), static_cast<std::uint32_t>(data.size() / 8));
    }
    out.insert(out.end(), data.begin(), data.end());
    return out;
}

void CardFiles(const fs::path& folder) {
    CurrentCardFiles(folder);
    for (const std::string version : {"Version1.001", "Version1.002"}) {
        for (bool encrypted : {false, true}) {
            Save(folder / ("legacy-" + version.substr(7) + (encrypted ? "-encrypted" : "-plain") + ".qdf"), LegacyFile(version, encrypted));
        }
    }
}

// Sealed card files under the fixed fuzz key (first byte even), and the plain records a sealed
// file holds (first byte odd): see fuzz_sealed_cardfile.cpp.
void SealedCardFiles(const fs::path& folder) {
    tessarel::CCardFileData doc;
    AddCard(doc, 0, "Web mail", "https://mail.example.org", "two lines\r\nof note");
    AddCard(doc, 7, "Door", "", "code at the back");
    tessarel::GuardedBuffer records(doc.TotalByteSize());
    tessarel::GuardedBuffer key(tessarel::SealedHeader::kKeySize);
    tessarel::fuzz::FillFuzzKey(key);
    if (!tessarel::SealedCardFile::PlainRecords(doc, records)) throw std::runtime_error("sealed records refused");
    for (const bool empty : {false, true}) {
        tessarel::SecureBytes file{0};
        const auto plain = empty ? records.Bytes().first(0) : records.Bytes();
        if (!tessarel::SealedCardFile::Seal(plain, tessarel::fuzz::FuzzSealedHeader(), key, file)) throw std::runtime_error("seal failed");
        Save(folder / (empty ? "sealed-empty.qdx" : "sealed.qdx"), file);
    }
    Bytes unsealed{1};
    unsealed.insert(unsealed.end(), records.Bytes().begin(), records.Bytes().end());
    Save(folder / "unsealed-records", unsealed);
}

// --- single encrypted files -------------------------------------------------------------------

void EncryptedFiles(const fs::path& folder) {
    const fs::path work = fs::temp_directory_path() / "tessarel-fuzz-seeds";
    fs::remove_all(work);
    fs::create_directories(work);
    struct Plain {
        std::string name;
        std::size_t size;
    };
    // A whole number of blocks, a residual tail, and more than one piece of 4 KiB.
    for (const Plain& plain : {Plain{"blocks.txt", 64}, Plain{"residual.txt", 301}, Plain{"pieces.bin", 9000}}) {
        Bytes content(plain.size);
        for (std::size_t i = 0; i < content.size(); ++i) content[i] = static_cast<std::uint8_t>("Tessarel fuzz seed\n"[i % 19]);
        const fs::path path = work / plain.name;
        Save(path, content);
        tessarel::CFileEncryptionState state;
        state.filePassword = kFuzzPassword;
        state.filePasswordSet = true;
        state.selectedFilePath = path.string();
        state.selectedIsPlain = true;
        tessarel::fuzz::FuzzUserInterface ui;
        tessarel::CFileEncryptionOperations operations(state, ui, 4096);
        if (operations.EncryptSelectedFile() != tessarel::CFileEncryptionOperations::Result::Done) throw std::runtime_error("encryption failed");
        Save(folder / (plain.name + ".enc"), ReadAll(*tessarel::CEncryptedFileName::EncryptedPath(path.string())));
    }
    fs::remove_all(work);
}

// --- installer archives -----------------------------------------------------------------------

void StubArchives(const fs::path& folder) {
    // A stand-in stub: some code bytes and the unpatched record the packer looks for.
    std::vector<std::uint8_t> stub(96, 0x90);
    const std::string marker = "OPALUXOPALUX";
    std::copy(marker.begin(), marker.end(), stub.begin() + 40);
    std::string error;
    const long long record = stubpack::ArchiveBuilder::findPatchRecord(stub, error);
    if (record < 0) throw std::runtime_error(error);

    auto entry = [](std::string_view text, std::uint32_t attributes) {
        stubpack::PackEntry packed;
        packed.compressed = stubpack::LzssEncoder::encode(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
        packed.attributes = attributes;
        packed.creationTime = 133000000000000000ull;
        packed.lastAccessTime = 133000000000000001ull;
        packed.lastWriteTime = 133000000000000002ull;
        return packed;
    };
    std::string repeated;
    for (int i = 0; i < 40; ++i) repeated += "abcabcabc the quick brown fox ";
    const std::vector<std::vector<stubpack::PackEntry>> archives = {
        {entry("hello, installer", 0x20)},
        {entry(repeated, 0x20), entry("read only file", 0x21), entry("", 0x20)},
    };
    int n = 0;
    for (const auto& entries : archives) {
        const auto program = stubpack::ArchiveBuilder::build(stub, entries, error);
        if (program.empty()) throw std::runtime_error(error);
        // The fuzz input is the archive position the packer patched in, then the program file.
        Bytes seed(program.begin() + record + 2, program.begin() + record + 6);
        seed.insert(seed.end(), program.begin(), program.end());
        Save(folder / ("archive-" + std::to_string(++n) + ".bin"), seed);
    }
}

// --- IPC frames -------------------------------------------------------------------------------

void IpcStreams(const fs::path& folder) {
    using tessarel::browser::DdeArguments;
    using tessarel::browser::FrameKind;
    using tessarel::browser::IpcFrame;
    auto frame = [](FrameKind kind, std::uint32_t transaction, const std::string& first, const std::string& second, bool flag) {
        IpcFrame f;
        f.kind = kind;
        f.transaction = transaction;
        f.first = QByteArray::fromStdString(first);
        f.second = QByteArray::fromStdString(second);
        f.flag = flag;
        const QByteArray encoded = f.Encode();
        if (encoded.isEmpty()) throw std::runtime_error("frame over its limits");
        return encoded;
    };
    const std::string openUrl = DdeArguments::Encode("QCS,QCS,DW,DW,QCS,QCS,CS",
                                                     {std::string("https://example.org/a \"quoted\" path"), std::string(), 0xFFFFFFFFu, 0u,
                                                      std::monostate{}, std::string("post data"), std::string("plain, text")});
    const std::string activate = DdeArguments::Encode("DW,DW", {7u, 0u});
    const std::string reply = DdeArguments::EncodeReply("DW", {1234u});
    const std::string windowInfo = DdeArguments::EncodeReply("QCS,QCS", {std::string("https://example.org/"), std::string("Title, with comma")});

    // Each stream starts with the byte that picks the read size in the target.
    const std::vector<std::pair<std::string, std::vector<QByteArray>>> streams = {
        {"client-session", {frame(FrameKind::Connect, 1, "NETSCAPE", "WWW_OpenURL", false), frame(FrameKind::Request, 2, openUrl, "", false),
                            frame(FrameKind::Poke, 3, activate, "poked data", false), frame(FrameKind::Execute, 4, "[open(\"x.qdf\")]", "", false)}},
        {"server-replies", {frame(FrameKind::ConnectReply, 1, "", "", true), frame(FrameKind::Reply, 2, reply, "", true),
                            frame(FrameKind::Reply, 3, windowInfo, "", true), frame(FrameKind::PokeReply, 4, "", "", true),
                            frame(FrameKind::ExecuteReply, 5, "", "", false)}},
    };
    std::uint8_t split = 0;
    for (const auto& [name, frames] : streams) {
        QByteArray stream(1, static_cast<char>(split));
        split = static_cast<std::uint8_t>(split + 13);
        for (const auto& f : frames) stream.append(f);
        Save(folder / (name + ".bin"), stream);
    }
}

// --- tessarel-cli import ---------------------------------------------------------------------

// The JSON that tessarel-cli export writes: a current file with a deleted card, an empty one,
// and a legacy file marked encrypted.
void ImportTexts(const fs::path& folder) {
    struct Seed {
        const char* name;
        tessarel::CardFileLayout layout;
        bool encrypted;
        bool withCards;
    };
    for (const Seed& seed : {Seed{"export-current.json", tessarel::CardFileLayout::Current, false, true},
                             Seed{"export-empty.json", tessarel::CardFileLayout::Current, false, false},
                             Seed{"export-legacy-encrypted.json", tessarel::CardFileLayout::Legacy1002, true, true}}) {
        tessarel::cli::OpenedCardFile file;
        if (seed.withCards) {
            AddCard(file.data, 0, "Web mail", "https://mail.example.org", "two lines\r\nof \"quoted\" note");
            AddCard(file.data, 9, "Caf\xE9 \x80", "", "");
            AddCard(file.data, 2, "Old bank", "", "");
            file.data.DeleteCard(2, 0);
        }
        file.data.carriedValue = 0xA1B2C3D4u;
        file.result = {true, seed.layout, seed.encrypted, tessarel::kCurrentFormatVersion};
        Save(folder / seed.name, tessarel::cli::ExportJson(file));
    }
}

// The importers of exchange/: one byte choosing the format (its place in AllImportFormats), then
// an export in that format. The KeePassXC seed comes from our own KeePassXC writer.
void ExchangeTexts(const fs::path& folder) {
    auto seed = [&folder](const char* name, std::uint8_t format, std::string_view text) {
        Bytes bytes{format};
        Put(bytes, text);
        Save(folder / name, bytes);
    };
    tessarel::CCardFileData data;
    AddCard(data, 0, "Web mail", "https://mail.example.org", "two lines\r\nof \"quoted\", note");
    AddCard(data, 9, "Caf\xE9 \x80", "Bank", "");
    const tessarel::SecureString keepassxc = tessarel::WriteKeePassXcCsv(data);
    seed("keepassxc", 0, keepassxc);
    seed("keepassx-old", 0, "Group,Title,Username,Password,URL,Notes\nWork,Mail,bob,pw,https://mail.example,\n");
    seed("bitwarden", 1,
         R"({"encrypted": false, "folders": [{"id": "f1", "name": "Banking"}], "items": [)"
         R"({"id": "i1", "folderId": "f1", "type": 1, "name": "Bank", "notes": "n\nm", "fields": [{"name": "PIN", "value": "1", "type": 0},)"
         R"( {"name": "B", "value": true, "type": 2}], "login": {"uris": [{"match": null, "uri": "https://bank.example"}, {"uri": "https://m.example"}],)"
         R"( "username": "carol", "password": "s3\u00e9", "totp": "JB"}, "revisionDate": "2023-06-15T08:00:00.000Z"},)"
         R"( {"type": 2, "name": "Wifi", "notes": "key", "secureNote": {"type": 0}},)"
         R"( {"type": 3, "name": "Visa", "card": {"cardholderName": "C", "brand": "Visa", "number": "4111", "expMonth": "7", "expYear": "2027", "code": "123"}},)"
         R"( {"type": 4, "name": "Passport", "identity": {"firstName": "Carol", "lastName": "Doe", "passportNumber": "X1"}}]})");
    seed("firefox", 2,
         "\"url\",\"username\",\"password\",\"httpRealm\",\"formActionOrigin\",\"guid\",\"timeCreated\",\"timeLastUsed\",\"timePasswordChanged\"\r\n"
         "\"https://u@forum.example:8443/login\",\"dave\",\"pa,ss\",,\"https://forum.example\",\"{abc}\",\"1600000000000\",\"1700000000000\",\"1650000000123\"\r\n");
    seed("chrome", 3, "name,url,username,password,note\nexample.com,https://example.com/,erin,\"multi\nline\",\"a note\"\n,https://x.example/a,,p,\n");
    seed("generic", 4, "\xEF\xBB\xBFSite,Secret,Comment\nRouter,hunter2,\"in the \"\"hall\"\" \xE2\x98\x95\"\n");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_make_seeds <corpus folder>\n");
        return 2;
    }
    const fs::path root = argv[1];
    try {
        CardFiles(root / "fuzz_cardfile");
        SealedCardFiles(root / "fuzz_sealed_cardfile");
        EncryptedFiles(root / "fuzz_filecrypt_decrypt");
        StubArchives(root / "fuzz_stub_archive");
        IpcStreams(root / "fuzz_ipc_frames");
        ImportTexts(root / "fuzz_cli_import");
        ExchangeTexts(root / "fuzz_exchange_import");
    } catch (const std::exception& e) {
        std::fprintf(stderr, "fuzz_make_seeds: %s\n", e.what());
        return 1;
    }
    return 0;
}
