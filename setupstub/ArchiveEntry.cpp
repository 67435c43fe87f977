#include "ArchiveEntry.h"

#include "LittleEndian.h"

namespace setupstub {

ArchiveEntry::ArchiveEntry(const std::uint8_t* entry)
    : attributeBits(readUint32(entry)),
      creation(readUint64(entry + 4)),
      lastAccess(readUint64(entry + 12)),
      lastWrite(readUint64(entry + 20))
{
}

} // namespace setupstub
