// The sealed card file reader. The first byte chooses what the rest is:
//   even: a whole sealed file. Its header is checked, then its body is unsealed with the fixed
//         fuzz key, so a header or body the fuzzer changes must be refused without harm.
//   odd:  the plain card records inside a sealed file. They are sealed under the fixed key and
//         opened again, so the record reader sees arbitrary unsealed bytes. What was sealed with
//         a key must open with it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "FuzzSealedKey.h"
#include "FuzzUserInterface.h"
#include "cardstore/SealedCardFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tessarel;
    if (size == 0) return 0;
    static GuardedBuffer key(SealedHeader::kKeySize);
    fuzz::FillFuzzKey(key);
    const std::span<const std::uint8_t> rest(data + 1, size - 1);
    CCardFileData doc;
    fuzz::FuzzUserInterface ui;
    if ((data[0] & 1) == 0) {
        SealedHeader header;
        const SealedHeaderStatus status = SealedHeader::Parse(rest, header);
        if (status == SealedHeaderStatus::Ok && !SealParametersInBounds(header.parameters)) std::abort();
        if (SealedCardFile::Open(doc, rest, key, ui)) (void)doc.TotalByteSize();
        return 0;
    }
    SecureBytes file;
    if (!SealedCardFile::Seal(rest, fuzz::FuzzSealedHeader(), key, file)) return 0;
    if (!SealedCardFile::Open(doc, file, key, ui)) std::abort();
    if (doc.carriedValue != 7) std::abort();
    (void)doc.TotalByteSize();
    return 0;
}
