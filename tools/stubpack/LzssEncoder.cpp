#include "LzssEncoder.h"

#include <algorithm>

namespace stubpack {

namespace {

constexpr std::size_t ringSize = 4096;
constexpr std::size_t ringStart = 4078;
constexpr std::size_t minMatch = 3;
constexpr std::size_t maxMatch = 18;
constexpr std::size_t maxDistance = ringSize - 1;
constexpr std::size_t hashBits = 15;
constexpr int maxChain = 48;
constexpr std::uint32_t none = 0xFFFFFFFFu;

// Collects items eight at a time behind their flag byte.
class ItemWriter {
public:
    explicit ItemWriter(std::vector<std::uint8_t>& target) : out(target) {}

    void literal(std::uint8_t value)
    {
        startItem(true);
        out.push_back(value);
    }

    void reference(std::size_t ringPosition, std::size_t length)
    {
        startItem(false);
        out.push_back(static_cast<std::uint8_t>(ringPosition & 0xFF));
        out.push_back(static_cast<std::uint8_t>(((ringPosition >> 4) & 0xF0) | (length - minMatch)));
    }

private:
    void startItem(bool isLiteral)
    {
        if (bit == 8) {
            flagAt = out.size();
            out.push_back(0);
            bit = 0;
        }
        if (isLiteral)
            out[flagAt] = static_cast<std::uint8_t>(out[flagAt] | (1u << bit));
        ++bit;
    }

    std::vector<std::uint8_t>& out;
    std::size_t flagAt = 0;
    int bit = 8;
};

std::uint32_t hashAt(const std::uint8_t* p)
{
    const std::uint32_t v = std::uint32_t{p[0]} << 16 | std::uint32_t{p[1]} << 8 | p[2];
    return (v * 2654435761u) >> (32 - hashBits);
}

} // namespace

std::vector<std::uint8_t> LzssEncoder::encode(const std::uint8_t* data, std::size_t size)
{
    std::vector<std::uint8_t> out;
    out.reserve(size + size / 8 + 16);
    ItemWriter writer(out);
    std::vector<std::uint32_t> head(std::size_t{1} << hashBits, none);
    std::vector<std::uint32_t> previous(ringSize, none);

    auto insert = [&](std::size_t at) {
        if (at + minMatch > size)
            return;
        const std::uint32_t h = hashAt(data + at);
        previous[at % ringSize] = head[h];
        head[h] = static_cast<std::uint32_t>(at);
    };

    std::size_t i = 0;
    while (i < size) {
        std::size_t bestLength = 0;
        std::size_t bestSource = 0;
        const std::size_t limit = std::min(maxMatch, size - i);
        if (limit >= minMatch) {
            std::uint32_t candidate = head[hashAt(data + i)];
            for (int chain = 0; chain < maxChain && candidate != none; ++chain) {
                if (i - candidate > maxDistance)
                    break;
                std::size_t length = 0;
                // Overlapping sources are fine: the decoder rereads what it writes.
                while (length < limit && data[candidate + length] == data[i + length])
                    ++length;
                if (length > bestLength) {
                    bestLength = length;
                    bestSource = candidate;
                    if (length == limit)
                        break;
                }
                const std::uint32_t next = previous[candidate % ringSize];
                if (next == none || next >= candidate)
                    break;
                candidate = next;
            }
        }
        if (bestLength >= minMatch) {
            writer.reference((ringStart + bestSource) % ringSize, bestLength);
            for (std::size_t k = 0; k < bestLength; ++k)
                insert(i + k);
            i += bestLength;
        } else {
            writer.literal(data[i]);
            insert(i);
            ++i;
        }
    }
    return out;
}

} // namespace stubpack
