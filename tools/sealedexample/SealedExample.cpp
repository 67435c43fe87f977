#include "SealedExample.h"

#include <cstdio>
#include <stdexcept>

#include "cardstore/CardFileFormat.h"
#include "cardstore/SealedCardFile.h"

namespace tessarel {
namespace {

constexpr char kPassword[] = "correct horse battery staple";
constexpr SealParameters kParameters{3, 256 * 1024};

// Salt 00 01 .. 0F, then nonce 10 11 .. 27: the two draws of one save, counted on.
std::uint8_t nextByte = 0;
void CountingSource(void* buffer, std::size_t size) {
    auto* bytes = static_cast<std::uint8_t*>(buffer);
    for (std::size_t i = 0; i < size; ++i) bytes[i] = nextByte++;
}

// Reports nothing: the example's save has no reason to stop, and a throw says so if it does.
class SilentUserInterface : public UserInterface {
public:
    MessageAnswer ShowMessage(const Message& message) override { throw std::runtime_error(message.text); }
    std::optional<std::string> AskPassword(const std::string&) override { return std::nullopt; }
};

std::string Hex(std::span<const std::uint8_t> bytes) {
    std::string text;
    char pair[3];
    for (std::uint8_t byte : bytes) {
        std::snprintf(pair, sizeof pair, "%02x", byte);
        text += pair;
    }
    return text;
}

// Sixteen bytes a line, with the offset in front, as `xxd -g 1` would show them without the text.
std::string HexDump(std::span<const std::uint8_t> bytes) {
    std::string text;
    char piece[32];
    for (std::size_t line = 0; line < bytes.size(); line += 16) {
        std::snprintf(piece, sizeof piece, "%08zx:", line);
        text += piece;
        for (std::size_t i = line; i < bytes.size() && i < line + 16; ++i) {
            std::snprintf(piece, sizeof piece, " %02x", bytes[i]);
            text += piece;
        }
        text += "\n";
    }
    return text;
}

void AddExampleCard(CCardFileData& doc) {
    auto card = std::make_unique<CCard>();
    card->SetCategoryCode(0);
    card->SetFieldText1("Example");
    card->SetFieldText2("https://example.org/");
    card->SetFieldText3("alice");
    card->SetFieldText4("hunter2");
    card->SetModified(3786825600u);  // 2024-01-01 00:00 on the local clock
    doc.GetCategoryList(0)->Add(std::move(card));
}

}  // namespace

std::string SealedExampleMarkdown() {
    CCardFileData doc;
    doc.encryptionMode = 1;
    doc.sealed = true;
    doc.sealParameters = kParameters;
    doc.encryptionPassword = kPassword;
    AddExampleCard(doc);

    nextByte = 0;
    const auto previous = SealedCardFile::SetRandomSource(CountingSource);
    SilentUserInterface ui;
    SecureBytes file;
    const bool written = WriteCardFile(doc, file, ui);
    SealedCardFile::SetRandomSource(previous);
    if (!written) throw std::runtime_error("the example could not be sealed");

    SealedHeader header;
    if (SealedHeader::Parse(file, header) != SealedHeaderStatus::Ok) throw std::runtime_error("the example's header does not parse");
    GuardedBuffer key(SealedHeader::kKeySize);
    GuardedBuffer records(doc.TotalByteSize());
    if (!SealedCardFile::DeriveKey(kPassword, header, key) || !SealedCardFile::PlainRecords(doc, records))
        throw std::runtime_error("the example's key or records could not be made");

    std::string text;
    text += "- Password: `" + std::string(kPassword) + "` (" + std::to_string(sizeof kPassword - 1) + " bytes)\n";
    text += "- Argon2id: " + std::to_string(kParameters.opsLimit) + " passes, " + std::to_string(kParameters.memLimitKiB) +
            " KiB, carried value 0\n";
    text += "- Salt: `" + Hex(header.salt) + "`\n";
    text += "- Nonce: `" + Hex(header.nonce) + "`\n";
    text += "- Key (Argon2id output, 32 bytes): `" + Hex(key.Bytes()) + "`\n";
    text += "- Card: category 0, \"Example\", \"https://example.org/\", \"alice\", \"hunter2\", empty note, time stamp "
            "3786825600, flags 0\n";
    text += "\nPlain records (" + std::to_string(records.Size()) + " bytes):\n\n```\n" + HexDump(records.Bytes()) + "```\n";
    text += "\nThe file (" + std::to_string(file.size()) + " bytes):\n\n```\n" + HexDump(file) + "```\n";
    return text;
}

}  // namespace tessarel
