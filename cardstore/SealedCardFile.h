#pragma once
// The sealed card file (".qdx"): the card records of the current layout, sealed with
// XChaCha20-Poly1305 under a key that Argon2id derives from the password and a fresh salt, behind
// a plain header that is bound in as associated data. A wrong password and any changed byte are
// told apart from nothing: both fail before a single card is read. The layout is written up in
// docs/sealed-card-file.md.
//
// The derived key and the plain records only ever live in guarded memory (GuardedBuffer).

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "CCardFileData.h"
#include "GuardedBuffer.h"
#include "SealedHeader.h"
#include "core/SecureBuffer.h"
#include "core/UserInterface.h"

namespace tessarel {

class SealedCardFile {
public:
    // Where salts and nonces come from. Tests and the worked example of the documentation put a
    // fixed source in; nullptr puts the system's random source back. Returns the one it replaces.
    using RandomSource = void (*)(void* buffer, std::size_t size);
    static RandomSource SetRandomSource(RandomSource source);

    // Opens a file whose bytes start sealed (SealedHeader::StartsSealed): checks the header, asks
    // for the password, unseals and reads the cards into `doc`. False when the open fails; the
    // message has been shown (none when the prompt was cancelled).
    static bool Read(CCardFileData& doc, std::span<const std::uint8_t> bytes, const std::string& path, UserInterface& ui);

    // Builds the whole sealed file of `doc` into `out` with a fresh salt and nonce and the
    // document's parameters. False (message shown) when the save must stop.
    static bool Write(CCardFileData& doc, SecureBytes& out, UserInterface& ui);

    // --- the steps, for the fuzzer, the tests and the benchmarks --------------------------------

    // Argon2id of the password's bytes with the header's salt and parameters into `key`
    // (kKeySize bytes). False when the memory could not be had.
    static bool DeriveKey(std::string_view password, const SealedHeader& header, GuardedBuffer& key);

    // Appends the header and the sealed `plain` bytes to `out`.
    static bool Seal(std::span<const std::uint8_t> plain, const SealedHeader& header, const GuardedBuffer& key, SecureBytes& out);

    // Unseals the file's body with `key` and reads its records into `doc`. False with
    // "The password is wrong or the file is damaged." when the body does not authenticate.
    static bool Open(CCardFileData& doc, std::span<const std::uint8_t> file, const GuardedBuffer& key, UserInterface& ui);

    // The card records of `doc`, exactly as a plain file holds them after its header.
    static bool PlainRecords(const CCardFileData& doc, GuardedBuffer& out);
};

}  // namespace tessarel
