#include "IndependentCardFile.h"

#include <openssl/blowfish.h>
#include <openssl/sha.h>

#include "crypto/Blowfish.h"

namespace tessarel::testing {
namespace {

void Le32(Bytes& out, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

void Append(Bytes& out, const std::string& text) { out.insert(out.end(), text.begin(), text.end()); }

Bytes Header(std::uint8_t version, std::uint8_t bodyKind, std::uint32_t carried) {
    Bytes header = {0, version, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, bodyKind, 0, 0x6C, 0x64, 0x6E, 0x51};
    Le32(header, carried);
    return header;
}

Bytes Digest(const std::string& password) {
    Bytes digest(SHA_DIGEST_LENGTH);
    SHA1(reinterpret_cast<const unsigned char*>(password.data()), password.size(), digest.data());
    return digest;
}

void SwapHalves(std::uint8_t* block) {
    std::swap(block[0], block[3]);
    std::swap(block[1], block[2]);
    std::swap(block[4], block[7]);
    std::swap(block[5], block[6]);
}

void PadToBlocks(Bytes& data, std::size_t offset) {
    while ((data.size() - offset) % 8 != 0) data.push_back(0);
}

}  // namespace

Bytes Records(const std::vector<RecordCard>& cards) {
    Bytes out;
    for (const auto& card : cards) {
        out.push_back(card.code);
        out.push_back(0);
        out.push_back(card.recordFlags);
        out.push_back(card.statusFlags);
        Le32(out, card.modified);
        Le32(out, card.syncValue);
        Le32(out, 0);
        Le32(out, 0);
        const std::string* texts[] = {&card.name, &card.field2, &card.field3, &card.password, &card.note};
        std::uint32_t n = 0;
        for (const auto* text : texts) n += static_cast<std::uint32_t>(text->size() + 1);
        Le32(out, n);
        for (const auto* text : texts) {
            Append(out, *text);
            out.push_back(0);
        }
    }
    return out;
}

Bytes PlainCardFile(const std::vector<RecordCard>& cards, std::uint32_t carried) {
    Bytes file = Header(6, 0, carried);
    const Bytes records = Records(cards);
    file.insert(file.end(), records.begin(), records.end());
    return file;
}

void EncipherLittleEndian(Bytes& data, std::size_t offset, const std::string& password, bool zeroTables) {
    if (zeroTables) {
        Blowfish cipher;
        cipher.BlowfishSetKey(reinterpret_cast<const std::uint8_t*>(password.data()), password.size(), true);
        cipher.EncryptBlocks(data.data() + offset, static_cast<std::uint32_t>((data.size() - offset) / 8));
        return;
    }
    BF_KEY key;
    BF_set_key(&key, static_cast<int>(password.size()), reinterpret_cast<const unsigned char*>(password.data()));
    for (std::size_t at = offset; at + 8 <= data.size(); at += 8) {
        SwapHalves(&data[at]);
        BF_ecb_encrypt(&data[at], &data[at], &key, BF_ENCRYPT);
        SwapHalves(&data[at]);
    }
}

Bytes EncryptedCardFile(const std::vector<RecordCard>& cards, std::uint32_t carried, const std::string& password, std::uint8_t version) {
    Bytes file = Header(version, 1, carried);
    const Bytes digest = Digest(password);
    const Bytes records = Records(cards);
    file.insert(file.end(), digest.begin(), digest.end());
    file.insert(file.end(), records.begin(), records.end());
    PadToBlocks(file, 22);
    EncipherLittleEndian(file, 22, password, version == 5);
    return file;
}

Bytes LegacyCardFile(const std::vector<LegacyCard>& cards, bool version1002, const std::string& password) {
    const bool encrypted = !password.empty();
    Bytes file;
    Append(file, encrypted ? "ENCRYPTED" : "NTENCRYPT");
    Append(file, version1002 ? "Version1.002" : "Version1.001");
    if (version1002) {
        const Bytes digest = Digest(password);
        file.insert(file.end(), digest.begin(), digest.end());
    } else {
        Append(file, "XYZ");
    }
    for (const auto& card : cards) {
        for (const std::string* text : {&card.category, &card.date, &card.name, &card.field2, &card.field3, &card.password}) {
            file.push_back(static_cast<std::uint8_t>(text->size()));
            Append(file, *text);
        }
        file.push_back(static_cast<std::uint8_t>(card.note.size()));
        file.push_back(static_cast<std::uint8_t>(card.note.size() >> 8));
        Append(file, card.note);
        file.push_back(0);
        file.push_back(0);
    }
    if (encrypted) {
        PadToBlocks(file, 21);
        EncipherLittleEndian(file, 21, password, false);
    }
    return file;
}

std::uint32_t SecondsSince1904(int year, int month, int day) {
    // Days from the civil calendar, counted from 1 March of year 0 (proleptic Gregorian).
    auto days = [](int y, int m, int d) {
        y -= m <= 2;
        const int era = y / 400;
        const int yearOfEra = y - era * 400;
        const int dayOfYear = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
        const int dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
        return static_cast<long long>(era) * 146097 + dayOfEra;
    };
    return static_cast<std::uint32_t>((days(year, month, day) - days(1904, 1, 1)) * 86400LL);
}

}  // namespace tessarel::testing
