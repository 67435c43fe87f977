#pragma once
// Reading and writing card files: the 22-byte header, the card records, the enciphered body of
// encrypted files, and the two legacy layouts that are still read. The byte layout is written up
// in docs/card-file-format.md. Files are handled whole, in memory; the one path to disk is
// SaveCardFile (atomic) and LoadCardFile (bounded).

#include <cstdint>
#include <functional>
#include <span>
#include <string>

#include "CCardFileData.h"
#include "CardRecordView.h"
#include "core/SecureBuffer.h"
#include "core/UserInterface.h"

namespace tessarel {

constexpr std::uint32_t kCardFileSignature = 0x516E646C;  // 'Qndl' as a big-endian number
constexpr std::uint8_t kCurrentFormatVersion = 6;
constexpr std::uint8_t kZeroTableFormatVersion = 5;
constexpr std::size_t kRecordHeadSize = 24;
constexpr std::size_t kLegacyPrefixSize = 21;
// Card files are read whole; anything larger is refused before a byte is read.
constexpr std::size_t kMaxCardFileSize = std::size_t{1} << 30;

enum class CardFileLayout { Current, Legacy1001, Legacy1002, EncryptedSingleFile, Empty, Sealed };

struct CardFileReadResult {
    bool ok = false;
    CardFileLayout layout = CardFileLayout::Current;
    bool encrypted = false;
    std::uint8_t version = 0;  // header byte 1, current layout only
};

// --- reading -------------------------------------------------------------------------------

// Identifies the layout of `bytes` and reads its cards into `doc`. Encrypted bodies are deciphered
// in place. Messages and the password prompt go through `ui`.
CardFileReadResult ReadCardFile(CCardFileData& doc, SecureBytes& bytes, const std::string& path, UserInterface& ui);

// Reads the file from disk (bounded by kMaxCardFileSize), then ReadCardFile.
CardFileReadResult LoadCardFile(CCardFileData& doc, const std::string& path, UserInterface& ui);

// Reads one record at `counter` (an offset into `data`) into `card` and advances the counter past
// it. Returns false, leaving card and counter alone, when the record or its text block would run
// past the end of `data`.
bool ReadCardRecord(CCard& card, std::span<const std::uint8_t> data, std::size_t& counter, int dateFormat);
// The same bounds and texts as views into `data`, without a card.
bool ReadCardRecordView(CardRecordView& view, std::span<const std::uint8_t> data, std::size_t& counter);

// Tells a reader how far it may read bytes that are still being prepared (deciphered): called
// with an offset into the data, it returns once bytes [0, offset) are ready, with how many bytes
// from the start are ready then (at least offset).
using RecordBytesReady = std::function<std::size_t(std::size_t offset)>;

// Reads records from `data` while more than 9 + `slack` bytes remain, placing each card in `doc`;
// stops at the first record that does not fit. Returns the number of records read. `owner`, if
// given, is the buffer `data` lies in, offered to CCardFileData::takeRecords. With `ready`, no
// byte of `data` is read before it says so.
std::size_t ReadRecords(CCardFileData& doc, std::span<const std::uint8_t> data, std::size_t slack = 0, SecureBytes* owner = nullptr,
                        const RecordBytesReady& ready = {});

// Deciphers and reads the body after the header (header byte 12 = 1).
bool ReadEncryptedBody(CCardFileData& doc, SecureBytes& bytes, const std::string& path, UserInterface& ui);

// Reads a legacy file ("Version1.001" or "Version1.002"), plain or encrypted.
bool ReadLegacyFile(CCardFileData& doc, SecureBytes& bytes, CardFileLayout layout, const std::string& path, UserInterface& ui);
bool ReadLegacyEncrypted(CCardFileData& doc, SecureBytes& bytes, CardFileLayout layout, const std::string& path, UserInterface& ui);

// Reads legacy card records from `data` while more than 8 bytes remain. Returns the number read.
std::size_t ReadLegacyRecords(CCardFileData& doc, std::span<const std::uint8_t> data);

// "Decryption Password for file: <name>"
std::string DecryptionPasswordTitle(const std::string& path);

// Asks the password of the file at `path` into doc.decryptionPassword (the typed copy wiped).
// False when the person cancelled.
bool AskDecryptionPassword(CCardFileData& doc, const std::string& path, UserInterface& ui);

// --- writing -------------------------------------------------------------------------------

struct CardFileHeader {
    std::uint8_t byte0 = 0;
    std::uint8_t version = kCurrentFormatVersion;
    std::uint16_t word2 = 0, word4 = 0, word6 = 0, word8 = 0;
    std::uint8_t byte10 = 1;
    std::uint8_t byte11 = 0;
    std::uint8_t bodyKind = 0;  // 0 plain records, 1 enciphered body
    std::uint8_t byte13 = 0;
    std::uint32_t signature = kCardFileSignature;
    std::uint32_t carried = 0;
};

// Bytes all cards take in a card file (CCardFileData::TotalByteSize), what a writer reserves
// before it puts any; a second thread sizes half of the cards when there are many.
std::size_t RecordBytes(const CCardFileData& doc);

// Appends the 22 header bytes to `out` and keeps a copy of them in `doc`.
void WriteHeader(SecureBytes& out, const CardFileHeader& header, CCardFileData& doc);

// Appends one record and its text block.
void WriteCardRecord(const CCard& card, SecureBytes& out);

// Puts one record and its text block at `at`, which has room for card.ByteSize() bytes; returns
// the bytes it took. For writers whose buffer is not a SecureBytes (the sealed file's guarded one).
std::size_t PutCardRecord(const CCard& card, std::uint8_t* at);

// Appends every card: codes 0 to 14 in list order, then the deleted list.
void WriteAllRecords(const CCardFileData& doc, SecureBytes& out);

// Appends every card, in the same order, within the capacity `out` has, calling `appended` with
// out.size() after each record. The buffer never moves: false, and the rest left out, when a
// record would not fit.
bool AppendAllRecords(const CCardFileData& doc, SecureBytes& out, const std::function<void(std::size_t)>& appended);

// Appends the enciphered body after the header. False (message shown) when the save must stop.
bool WriteEncryptedBody(CCardFileData& doc, SecureBytes& out, UserInterface& ui);

// Builds the whole file as the program saves it (plain for mode 0, encrypted for mode 1).
// False (message shown) when the save stops; `out` is then not to be written.
bool WriteCardFile(CCardFileData& doc, SecureBytes& out, UserInterface& ui);

struct CardFileSaveResult {
    bool ok = false;
    bool stopped = false;     // the writer refused (its message was shown); nothing touched on disk
    std::string errorText;    // the system's description of an I/O failure
};

// Builds the file and writes it atomically over `path`: a save that stops or fails leaves the
// previous file exactly as it was.
CardFileSaveResult SaveCardFile(CCardFileData& doc, const std::string& path, UserInterface& ui);

}  // namespace tessarel
