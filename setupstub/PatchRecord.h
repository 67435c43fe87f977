#pragma once

#include <cstdint>

namespace setupstub {

// The 12-byte record the packer fills in after linking: bytes 2 to 5 receive the
// position of the appended archive (little-endian). Until then the record holds its
// marker text, which also lets the packer find it in the program file.
class PatchRecord {
public:
    // True when the packer has written an archive position into the record.
    static bool isFilled();
    // The archive position from the start of the program file.
    static std::uint32_t archiveOffset();

private:
    static std::uint32_t readLittleEndian(int first);
};

} // namespace setupstub
