#pragma once

#include <cstdint>

namespace setupstub {

inline std::uint32_t readUint32(const std::uint8_t* p)
{
    return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16
        | std::uint32_t{p[3]} << 24;
}

// A FILETIME as stored: low dword first.
inline std::uint64_t readUint64(const std::uint8_t* p)
{
    return std::uint64_t{readUint32(p)} | std::uint64_t{readUint32(p + 4)} << 32;
}

} // namespace setupstub
