// The stub's block decoder against the plain ring decoder, and the encoder against both.

#include "LzssDecoder.h"
#include "LzssEncoder.h"
#include "ReferenceLzssDecoder.h"

#include <gtest/gtest.h>

#include <random>

using setupstub::LzssDecoder;
using stubpack::LzssEncoder;
using stubpack::ReferenceLzssDecoder;

namespace {

class MemorySink : public setupstub::ByteSink {
public:
    bool write(const std::uint8_t* data, std::size_t size) override
    {
        bytes.insert(bytes.end(), data, data + size);
        return true;
    }
    std::vector<std::uint8_t> bytes;
};

class RefusingSink : public setupstub::ByteSink {
public:
    bool write(const std::uint8_t*, std::size_t) override { return false; }
};

std::vector<std::uint8_t> decodeFast(const std::vector<std::uint8_t>& stream)
{
    LzssDecoder decoder;
    MemorySink sink;
    EXPECT_TRUE(decoder.decode(stream.data(), stream.size(), sink));
    return sink.bytes;
}

std::vector<std::uint8_t> decodeReference(const std::vector<std::uint8_t>& stream)
{
    std::vector<std::uint8_t> out;
    ReferenceLzssDecoder::decode(stream.data(), stream.size(), out);
    return out;
}

// Every byte string is a valid stream. These favour short distances and long copies,
// the overlapping cases, and reach far past the decoder's block size.
std::vector<std::uint8_t> randomStream(std::size_t size, unsigned seed)
{
    std::mt19937 random(seed);
    std::vector<std::uint8_t> stream(size);
    for (std::size_t i = 0; i < size; ++i)
        stream[i] = static_cast<std::uint8_t>(random() & 0xFF);
    return stream;
}

std::vector<std::uint8_t> compressibleData(std::size_t size, unsigned seed)
{
    std::mt19937 random(seed);
    std::vector<std::uint8_t> data;
    data.reserve(size);
    while (data.size() < size) {
        switch (random() % 4) {
        case 0: // a run
            data.insert(data.end(), 1 + random() % 100, static_cast<std::uint8_t>(random()));
            break;
        case 1: // noise
            for (auto n = random() % 50; n > 0; --n)
                data.push_back(static_cast<std::uint8_t>(random()));
            break;
        default: // a repeat from up to 5000 bytes back
            if (data.size() > 10) {
                const std::size_t distance = 1 + random() % std::min<std::size_t>(data.size(), 5000);
                for (auto n = 3 + random() % 40; n > 0; --n)
                    data.push_back(data[data.size() - distance]);
            }
        }
    }
    data.resize(size);
    return data;
}

} // namespace

TEST(LzssDecoderTest, ArbitraryStreamsDecodeLikeTheRingDecoder)
{
    for (unsigned seed = 1; seed <= 6; ++seed) {
        const std::vector<std::uint8_t> stream = randomStream(100000 + seed * 30001, seed);
        const std::vector<std::uint8_t> expected = decodeReference(stream);
        ASSERT_GT(expected.size(), std::size_t{1} << 18) << "must cross a block";
        EXPECT_TRUE(decodeFast(stream) == expected) << "seed " << seed;
    }
}

TEST(LzssDecoderTest, PiecesOfAnySizeDecodeLikeTheWholeStream)
{
    // As the stub reads an entry: each piece after what the decoder left of the last.
    const std::vector<std::uint8_t> stream = randomStream(300000, 21);
    const std::vector<std::uint8_t> expected = decodeReference(stream);
    for (std::size_t maxPiece : {1u, 7u, 24u, 25u, 1000u, 65536u}) {
        std::mt19937 random(static_cast<unsigned>(maxPiece));
        LzssDecoder decoder;
        MemorySink sink;
        decoder.begin();
        std::vector<std::uint8_t> piece;
        std::size_t next = 0;
        for (;;) {
            const std::size_t count = std::min<std::size_t>(stream.size() - next, 1 + random() % maxPiece);
            piece.insert(piece.end(), stream.begin() + static_cast<std::ptrdiff_t>(next),
                         stream.begin() + static_cast<std::ptrdiff_t>(next + count));
            next += count;
            const std::uint8_t* in = piece.data();
            const bool last = next == stream.size();
            ASSERT_TRUE(decoder.decodeSome(in, piece.data() + piece.size(), last, sink));
            if (last)
                break;
            const auto used = in - piece.data();
            ASSERT_LT(piece.size() - static_cast<std::size_t>(used), LzssDecoder::carryMax);
            piece.erase(piece.begin(), piece.begin() + used);
        }
        ASSERT_TRUE(decoder.finish(sink));
        EXPECT_TRUE(sink.bytes == expected) << "pieces up to " << maxPiece;
    }
}

TEST(LzssDecoderTest, EncodedDataComesBackUnchanged)
{
    const std::vector<std::vector<std::uint8_t>> inputs {
        {},
        {'a'},
        std::vector<std::uint8_t>(100000, ' '),
        compressibleData(3 << 20, 11),
        randomStream(70000, 12),
    };
    for (const auto& input : inputs) {
        const std::vector<std::uint8_t> stream = LzssEncoder::encode(input);
        EXPECT_TRUE(decodeFast(stream) == input) << "size " << input.size();
        EXPECT_TRUE(decodeReference(stream) == input) << "size " << input.size();
    }
    EXPECT_LT(LzssEncoder::encode(inputs[3]).size(), inputs[3].size() / 2);
}

TEST(LzssDecoderTest, SinkFailureStopsDecoding)
{
    LzssDecoder decoder;
    RefusingSink sink;
    const std::vector<std::uint8_t> stream = LzssEncoder::encode(std::vector<std::uint8_t>(10, 'x'));
    EXPECT_FALSE(decoder.decode(stream.data(), stream.size(), sink));
}

TEST(LzssDecoderTest, DecoderStartsAfreshForEachStream)
{
    // A reference into the blanks must see blanks again after a previous stream.
    LzssDecoder decoder;
    MemorySink first, second;
    const std::vector<std::uint8_t> fill = LzssEncoder::encode(compressibleData(10000, 3));
    const std::vector<std::uint8_t> blanks {0x00, 0x00, 0x00};
    ASSERT_TRUE(decoder.decode(fill.data(), fill.size(), first));
    ASSERT_TRUE(decoder.decode(blanks.data(), blanks.size(), second));
    EXPECT_EQ(second.bytes, std::vector<std::uint8_t>(3, ' '));
}
