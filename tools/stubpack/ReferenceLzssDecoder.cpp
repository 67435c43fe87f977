#include "ReferenceLzssDecoder.h"

namespace stubpack {

std::size_t ReferenceLzssDecoder::decode(const std::uint8_t* input, std::size_t size, std::uint8_t* out,
                                         std::size_t capacity)
{
    std::uint8_t ring[4096] = {};
    for (std::size_t i = 0; i < 4078; ++i)
        ring[i] = ' ';
    std::size_t r = 4078;
    std::size_t in = 0;
    std::size_t written = 0;
    unsigned flags = 0;
    for (;;) {
        flags >>= 1;
        if ((flags & 0x100u) == 0) {
            if (in == size)
                break;
            flags = input[in++] | 0xFF00u;
        }
        if (flags & 1u) {
            if (in == size || written == capacity)
                break;
            const std::uint8_t c = input[in++];
            out[written++] = c;
            ring[r] = c;
            r = (r + 1) & 4095;
        } else {
            if (size - in < 2)
                break;
            const std::size_t p = input[in] | (std::size_t{input[in + 1] & 0xF0u} << 4);
            const std::size_t length = (input[in + 1] & 0x0Fu) + 3;
            in += 2;
            for (std::size_t k = 0; k < length; ++k) {
                if (written == capacity)
                    return written;
                const std::uint8_t c = ring[(p + k) & 4095];
                out[written++] = c;
                ring[r] = c;
                r = (r + 1) & 4095;
            }
        }
    }
    return written;
}

void ReferenceLzssDecoder::decode(const std::uint8_t* input, std::size_t size, std::vector<std::uint8_t>& out)
{
    // A stream of n bytes decodes to at most 18 * n bytes.
    const std::size_t start = out.size();
    out.resize(start + size * 18);
    const std::size_t length = decode(input, size, out.data() + start, size * 18);
    out.resize(start + length);
}

} // namespace stubpack
