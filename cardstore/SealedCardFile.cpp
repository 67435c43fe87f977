#include "SealedCardFile.h"

#include <sodium.h>

#include <algorithm>
#include <cstring>
#include <new>

#include "ByteOrder.h"
#include "CardFileFormat.h"

namespace tessarel {
namespace {

constexpr const char* kWrongOrDamaged = "The password is wrong or the file is damaged.";
constexpr const char* kTruncated = "The file is truncated and cannot be opened.";
constexpr const char* kUnknownVersion =
    "This file was saved in a newer strong encryption format that this version of Tessarel cannot read.";
constexpr const char* kUnknownAlgorithm =
    "This file uses a key derivation or cipher that this version of Tessarel does not know.";
constexpr const char* kOutOfBounds =
    "This file asks for key derivation parameters beyond the safe bounds (at most 1 GiB of memory and 64 passes); "
    "it is damaged or was not saved by Tessarel.";
constexpr const char* kOutOfMemory = "Out of memory.";

void SystemRandom(void* buffer, std::size_t size) { randombytes_buf(buffer, size); }

SealedCardFile::RandomSource randomSource = SystemRandom;

const char* HeaderMessage(SealedHeaderStatus status) {
    switch (status) {
        case SealedHeaderStatus::Truncated: return kTruncated;
        case SealedHeaderStatus::UnknownVersion: return kUnknownVersion;
        case SealedHeaderStatus::UnknownAlgorithm: return kUnknownAlgorithm;
        case SealedHeaderStatus::ParametersOutOfBounds: return kOutOfBounds;
        case SealedHeaderStatus::Ok: break;
    }
    return "";
}

// The stronger of two parameter sets, field by field: a file read is saved at least as strongly
// as it was written, and at least as strongly as this version writes new files.
SealParameters Stronger(const SealParameters& a, const SealParameters& b) {
    return {std::max(a.opsLimit, b.opsLimit), std::max(a.memLimitKiB, b.memLimitKiB)};
}

}  // namespace

SealedCardFile::RandomSource SealedCardFile::SetRandomSource(RandomSource source) {
    const RandomSource previous = randomSource;
    randomSource = source ? source : SystemRandom;
    return previous;
}

bool SealedCardFile::DeriveKey(std::string_view password, const SealedHeader& header, GuardedBuffer& key) {
    if (sodium_init() < 0 || !key.Valid() || key.Size() != SealedHeader::kKeySize) return false;
    if (!SealParametersInBounds(header.parameters)) return false;
    return crypto_pwhash(key.Data(), key.Size(), password.data(), password.size(), header.salt.data(), header.parameters.opsLimit,
                         std::size_t{header.parameters.memLimitKiB} * 1024, crypto_pwhash_ALG_ARGON2ID13) == 0;
}

bool SealedCardFile::PlainRecords(const CCardFileData& doc, GuardedBuffer& out) {
    if (!out.Valid() || out.Size() != doc.TotalByteSize()) return false;
    std::size_t at = 0;
    const auto put = [&out, &at](const CCard& card) { at += PutCardRecord(card, out.Data() + at); };
    doc.VisitInSaveOrder(put);
    return at == out.Size();
}

bool SealedCardFile::Seal(std::span<const std::uint8_t> plain, const SealedHeader& header, const GuardedBuffer& key, SecureBytes& out) {
    if (sodium_init() < 0 || key.Size() != SealedHeader::kKeySize) return false;
    const auto head = header.Serialize();
    const std::size_t start = out.size();
    try {
        out.resize(start + head.size() + plain.size() + SealedHeader::kTagSize);
    } catch (const std::bad_alloc&) {
        return false;
    }
    std::copy(head.begin(), head.end(), out.begin() + static_cast<std::ptrdiff_t>(start));
    unsigned long long sealedSize = 0;
    crypto_aead_xchacha20poly1305_ietf_encrypt(out.data() + start + head.size(), &sealedSize, plain.data(), plain.size(), head.data(),
                                               head.size(), nullptr, header.nonce.data(), key.Data());
    return sealedSize == plain.size() + SealedHeader::kTagSize;
}

bool SealedCardFile::Open(CCardFileData& doc, std::span<const std::uint8_t> file, const GuardedBuffer& key, UserInterface& ui) {
    SealedHeader header;
    const SealedHeaderStatus status = SealedHeader::Parse(file, header);
    if (status != SealedHeaderStatus::Ok) {
        ui.Tell(HeaderMessage(status));
        return false;
    }
    if (file.size() < SealedHeader::kSize + SealedHeader::kTagSize) {
        ui.Tell(kTruncated);
        return false;
    }
    if (sodium_init() < 0 || key.Size() != SealedHeader::kKeySize) {
        ui.Tell(kOutOfMemory);
        return false;
    }
    // The plain size follows from the file's length, which the file reader has bounded; no header
    // field decides an allocation.
    const auto sealed = file.subspan(SealedHeader::kSize);
    GuardedBuffer plain(sealed.size() - SealedHeader::kTagSize);
    if (!plain.Valid()) {
        ui.Tell(kOutOfMemory);
        return false;
    }
    unsigned long long plainSize = 0;
    if (crypto_aead_xchacha20poly1305_ietf_decrypt(plain.Data(), &plainSize, nullptr, sealed.data(), sealed.size(), file.data(),
                                                   SealedHeader::kSize, header.nonce.data(), key.Data()) != 0) {
        ui.Tell(kWrongOrDamaged);
        return false;
    }
    doc.carriedValue = header.carried;
    ReadRecords(doc, plain.Bytes().first(static_cast<std::size_t>(plainSize)));
    return true;
}

bool SealedCardFile::Read(CCardFileData& doc, std::span<const std::uint8_t> bytes, const std::string& path, UserInterface& ui) {
    SealedHeader header;
    const SealedHeaderStatus status = SealedHeader::Parse(bytes, header);
    if (status == SealedHeaderStatus::Ok && bytes.size() < SealedHeader::kSize + SealedHeader::kTagSize) {
        ui.Tell(kTruncated);
        return false;
    }
    if (status != SealedHeaderStatus::Ok) {
        ui.Tell(HeaderMessage(status));
        return false;
    }
    if (!AskDecryptionPassword(doc, path, ui)) return false;
    if (doc.decryptionPassword.empty()) {
        ui.Tell("You must enter a password!");
        return false;
    }
    GuardedBuffer key(SealedHeader::kKeySize);
    if (!DeriveKey(doc.decryptionPassword, header, key)) {
        ui.Tell(kOutOfMemory);
        return false;
    }
    if (!Open(doc, bytes, key, ui)) return false;
    doc.encryptionPassword = doc.decryptionPassword;
    doc.encryptionMode = 1;
    doc.sealed = true;
    doc.sealParameters = Stronger(header.parameters, kDefaultSealParameters);
    return true;
}

bool SealedCardFile::Write(CCardFileData& doc, SecureBytes& out, UserInterface& ui) {
    out.clear();
    if (doc.encryptionPassword.empty()) {
        ui.Tell("The encryption password is not set.");
        return false;
    }
    if (sodium_init() < 0) {
        ui.Tell(kOutOfMemory);
        return false;
    }
    SealedHeader header;
    header.parameters = SealParametersInBounds(doc.sealParameters) ? doc.sealParameters : kDefaultSealParameters;
    header.carried = doc.carriedValue;
    // A fresh salt and nonce for every save: equal cards under one password never give equal
    // files, and no key and nonce pair is ever used twice.
    randomSource(header.salt.data(), header.salt.size());
    randomSource(header.nonce.data(), header.nonce.size());

    GuardedBuffer plain(doc.TotalByteSize());
    GuardedBuffer key(SealedHeader::kKeySize);
    if (!plain.Valid() || !key.Valid() || !PlainRecords(doc, plain) || !DeriveKey(doc.encryptionPassword, header, key) ||
        !Seal(plain.Bytes(), header, key, out)) {
        out.clear();
        ui.Tell(kOutOfMemory);
        return false;
    }
    return true;
}

}  // namespace tessarel
