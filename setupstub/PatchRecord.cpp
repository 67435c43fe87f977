#include "PatchRecord.h"

// The record lives in writable initialised data (not read-only data), so the compiler
// cannot merge it with an equal string constant, and it is read through volatile
// accesses, so no read is folded into a constant at build time: the packer changes these
// bytes in the finished file. The marker text is spelled as single characters so that
// no string literal with the same bytes can end up anywhere else in the program.
// Exported with C linkage and marked used so that the linker keeps it as it is.
extern "C" {
#if defined(__GNUC__)
__attribute__((used))
#endif
volatile unsigned char setupstubPatchRecord[12] = {
    'O', 'P', 'A', 'L', 'U', 'X', 'O', 'P', 'A', 'L', 'U', 'X',
};
}

namespace setupstub {

std::uint32_t PatchRecord::readLittleEndian(int first)
{
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = (value << 8) | setupstubPatchRecord[first + i];
    return value;
}

bool PatchRecord::isFilled()
{
    // The unfilled record holds the same four bytes at 2..5 and at 8..11.
    return archiveOffset() != readLittleEndian(8);
}

std::uint32_t PatchRecord::archiveOffset()
{
    return readLittleEndian(2);
}

} // namespace setupstub
