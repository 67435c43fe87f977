// Card file reader on arbitrary bytes: the current layout (plain and enciphered body) and both
// legacy layouts, with the password prompt answered by the fixed fuzz password.
#include <cstddef>
#include <cstdint>

#include "FuzzUserInterface.h"
#include "cardstore/CardFileFormat.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    tessarel::SecureBytes bytes(data, data + size);
    tessarel::CCardFileData doc;
    tessarel::fuzz::FuzzUserInterface ui;
    const auto result = tessarel::ReadCardFile(doc, bytes, "/fuzz/input.qdf", ui);
    // Touch what was read so that a card built from bad lengths is walked too.
    if (result.ok) (void)doc.TotalByteSize();
    return 0;
}
