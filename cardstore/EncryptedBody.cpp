#include <algorithm>
#include <cstring>
#include <limits>
#include <new>

#include "CardFileFormat.h"
#include "crypto/Blowfish.h"
#include "crypto/CipherFeed.h"
#include "crypto/CipherThreads.h"
#include "crypto/Sha1.h"

namespace tessarel {
namespace {

constexpr const char* kWrongPassword = "Password not correct, please try again.";

std::size_t RoundUpToBlocks(std::size_t size) { return (size + 7) / 8 * 8; }

void Decipher(std::uint8_t* data, std::size_t size, const SecureString& password, bool zeroTables) {
    Blowfish cipher;
    cipher.BlowfishSetKey(reinterpret_cast<const std::uint8_t*>(password.data()), password.size(), zeroTables);
    CCipherThreads(0).DecryptBlocks(cipher, data, size / 8);
}

// Grows the file's bytes to `start` + `cipherSize` with zeros, so that every block the cipher
// touches lies inside the buffer. False ("Out of memory." shown) when that cannot be had.
bool ZeroFillCipherText(SecureBytes& bytes, std::size_t start, std::size_t cipherSize, UserInterface& ui) {
    try {
        if (cipherSize / 8 > std::numeric_limits<std::uint32_t>::max()) throw std::bad_alloc();
        bytes.resize(start + cipherSize, 0);
    } catch (const std::bad_alloc&) {
        ui.Tell("Out of memory.");
        return false;
    }
    return true;
}

}  // namespace

bool WriteEncryptedBody(CCardFileData& doc, SecureBytes& out, UserInterface& ui) {
    const std::size_t bodySize = RoundUpToBlocks(kDigestSize + RecordBytes(doc));
    const std::size_t bodyStart = out.size();
    try {
        if (bodySize / 8 > std::numeric_limits<std::uint32_t>::max()) throw std::bad_alloc();
        // The whole body at once: the helpers encipher it where it lies while the records are
        // still being appended, so it must never move.
        out.reserve(bodyStart + bodySize);
    } catch (const std::bad_alloc&) {
        ui.Tell("Out of memory.");
        return false;
    }
    if (doc.encryptionPassword.empty()) {
        ui.Tell("The encryption password is not set.");
        return false;
    }
    PasswordDigest(std::string_view(doc.encryptionPassword), doc.passwordDigest.data());
    out.insert(out.end(), doc.passwordDigest.begin(), doc.passwordDigest.end());
    Blowfish cipher;
    cipher.BlowfishSetKey(reinterpret_cast<const std::uint8_t*>(doc.encryptionPassword.data()), doc.encryptionPassword.size(), false);
    // Each block is enciphered as soon as its records are complete, on the other cores, while
    // this thread formats the next ones.
    std::uint8_t* body = out.data() + bodyStart;
    CCipherFeed feed(cipher, CCipherFeed::Direction::Encrypt, body, bodySize / 8);
    const bool whole = AppendAllRecords(doc, out, [&feed, bodyStart](std::size_t size) { feed.Release((size - bodyStart) / 8); });
    if (!whole || RoundUpToBlocks(out.size() - bodyStart) != bodySize) {
        // The cards' sizes disagree with the records appended: such a body is not written at all.
        feed.Finish();
        out.resize(bodyStart);
        ui.Tell("Out of memory.");
        return false;
    }
    out.resize(bodyStart + bodySize, 0);
    feed.Finish();
    return true;
}

bool ReadEncryptedBody(CCardFileData& doc, SecureBytes& bytes, const std::string& path, UserInterface& ui) {
    // A damaged file may end inside a block, or before a whole digest: the zero fill keeps every
    // read inside the buffer, and such a body fails the password check.
    const std::size_t bodySize = std::max(RoundUpToBlocks(bytes.size() - kHeaderSize), RoundUpToBlocks(kDigestSize + 4));
    if (!ZeroFillCipherText(bytes, kHeaderSize, bodySize, ui)) return false;
    const bool zeroTables = bytes[1] == kZeroTableFormatVersion;
    if (!AskDecryptionPassword(doc, path, ui)) return false;
    if (doc.decryptionPassword.empty()) {
        ui.Tell("You must enter a password!");
        ui.Tell(kWrongPassword);
        return false;
    }
    std::uint8_t* body = bytes.data() + kHeaderSize;
    Blowfish cipher;
    cipher.BlowfishSetKey(reinterpret_cast<const std::uint8_t*>(doc.decryptionPassword.data()), doc.decryptionPassword.size(), zeroTables);
    // The digest at the front decides first; a wrong password stops the helpers after the chunks
    // they are on instead of deciphering the whole body for nothing.
    CCipherFeed feed(cipher, CCipherFeed::Direction::Decrypt, body, bodySize / 8);
    feed.WaitFor((kDigestSize + 7) / 8);
    std::memcpy(doc.passwordDigest.data(), body, kDigestSize);
    std::uint8_t expected[kDigestSize];
    PasswordDigest(std::string_view(doc.decryptionPassword), expected);
    if (std::memcmp(expected, body, kDigestSize) != 0) {
        ui.Tell(kWrongPassword);
        return false;
    }
    doc.encryptionPassword = doc.decryptionPassword;
    doc.encryptionMode = 1;
    // The records end where 11 or fewer bytes of the body remain, which skips the zero padding.
    // They are read as the helpers decipher them, each once the chunks it lies in are done.
    // Nothing reads `bytes` after this: a caller keeping the records may take the buffer over.
    const RecordBytesReady deciphered = [&feed](std::size_t offset) {
        return feed.WaitFor((kDigestSize + offset + 7) / 8) * 8 - kDigestSize;
    };
    ReadRecords(doc, std::span<const std::uint8_t>(body + kDigestSize, bodySize - kDigestSize), 2, &bytes, deciphered);
    feed.Finish();
    return true;
}

bool ReadLegacyEncrypted(CCardFileData& doc, SecureBytes& bytes, CardFileLayout layout, const std::string& path, UserInterface& ui) {
    const bool first = layout == CardFileLayout::Legacy1001;
    const std::size_t checkSize = first ? 3 : kDigestSize;
    const std::size_t dataSize = bytes.size() - kLegacyPrefixSize;
    const std::size_t cipherSize = std::max(RoundUpToBlocks(dataSize), RoundUpToBlocks(checkSize));
    if (!ZeroFillCipherText(bytes, kLegacyPrefixSize, cipherSize, ui)) return false;
    // A cancelled prompt opens nothing, in both layouts: an empty document under the old file's
    // path would overwrite every card in it at the next save.
    if (!AskDecryptionPassword(doc, path, ui)) return false;
    std::uint8_t* data = bytes.data() + kLegacyPrefixSize;
    if (doc.decryptionPassword.empty()) {
        ui.Tell("You must enter a password!");
    } else {
        Decipher(data, cipherSize, doc.decryptionPassword, false);
    }
    bool accepted;
    if (first) {
        accepted = !doc.decryptionPassword.empty() && std::memcmp(data, "XYZ", 3) == 0;
        if (!accepted) ui.Tell("Password not correct,try again.");
    } else {
        std::uint8_t expected[kDigestSize];
        PasswordDigest(std::string_view(doc.decryptionPassword), expected);
        accepted = !doc.decryptionPassword.empty() && std::memcmp(expected, data, kDigestSize) == 0;
        if (accepted) std::memcpy(doc.passwordDigest.data(), data, kDigestSize);
        if (!accepted) ui.Tell(kWrongPassword);
    }
    if (!accepted) return false;
    doc.encryptionPassword = doc.decryptionPassword;
    doc.encryptionMode = 1;
    if (dataSize > checkSize) ReadLegacyRecords(doc, std::span<const std::uint8_t>(data + checkSize, dataSize - checkSize));
    return true;
}

}  // namespace tessarel
