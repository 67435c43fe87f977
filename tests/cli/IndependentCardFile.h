#pragma once
// Card files built straight from the byte layout, with nothing of the program's own writer: the
// 22-byte header, 24-byte records with their text blocks, the enciphered body (libcrypto's
// Blowfish with each 4-byte half byte-swapped to the program's little-endian halves, libcrypto's
// SHA-1), and the two legacy layouts.

#include <cstdint>
#include <string>
#include <vector>

namespace tessarel::testing {

using Bytes = std::vector<std::uint8_t>;

// One card as a record holds it; texts are Windows-1252 bytes.
struct RecordCard {
    std::uint8_t code = 0;
    std::uint8_t recordFlags = 0;
    std::uint8_t statusFlags = 0;
    std::uint32_t modified = 0;
    std::uint32_t syncValue = 0;
    std::string name, field2, field3, password, note;
};

// Records back to back, in the order given.
Bytes Records(const std::vector<RecordCard>& cards);

// Header (byte 1 = version, byte 12 = body kind, carried value at 18) and plain records.
Bytes PlainCardFile(const std::vector<RecordCard>& cards, std::uint32_t carried);

// Header with byte 12 = 1, then digest + records + zero padding, enciphered. Version 5 uses the
// zero-table key schedule, which libcrypto lacks; that one case goes through the program's
// Blowfish with its zeroTables switch.
Bytes EncryptedCardFile(const std::vector<RecordCard>& cards, std::uint32_t carried, const std::string& password,
                        std::uint8_t version = 6);

// One legacy record as the old layouts hold it.
struct LegacyCard {
    std::string category, date, name, field2, field3, password, note;
};

// "NTENCRYPT" or "ENCRYPTED", "Version1.001"/"Version1.002", the check bytes ("XYZ" or the digest;
// a plain file carries them unchecked), then the records; encrypted data is padded to whole
// blocks and enciphered.
Bytes LegacyCardFile(const std::vector<LegacyCard>& cards, bool version1002, const std::string& password = "");

// Blowfish over whole blocks with the program's little-endian halves.
void EncipherLittleEndian(Bytes& data, std::size_t offset, const std::string& password, bool zeroTables);

// Seconds from 1 January 1904 to 00:00 of the given date.
std::uint32_t SecondsSince1904(int year, int month, int day);

}  // namespace tessarel::testing
