// The second-thread writer: every byte in order, and a failure that reaches the caller.

#include "BackgroundWriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

using setupstub::BackgroundWriter;

namespace {

// Collects what arrives, refusing everything after `limit` bytes.
class LimitedSink : public setupstub::ByteSink {
public:
    explicit LimitedSink(std::size_t byteLimit) : limit(byteLimit) {}
    bool write(const std::uint8_t* data, std::size_t size) override
    {
        if (bytes.size() + size > limit)
            return false;
        bytes.insert(bytes.end(), data, data + size);
        return true;
    }
    std::size_t limit;
    std::vector<std::uint8_t> bytes;
};

std::vector<std::uint8_t> pattern(std::size_t size)
{
    std::vector<std::uint8_t> data(size);
    for (std::size_t i = 0; i < size; ++i)
        data[i] = static_cast<std::uint8_t>(i * 7 + i / 251);
    return data;
}

} // namespace

TEST(BackgroundWriterTest, PassesEveryByteInOrder)
{
    for (std::size_t total : {std::size_t {0}, std::size_t {1}, std::size_t {1} << 19, std::size_t {5} << 20}) {
        const std::vector<std::uint8_t> data = pattern(total);
        LimitedSink sink(~std::size_t {0});
        std::mt19937 random(static_cast<unsigned>(total));
        {
            BackgroundWriter writer(sink);
            for (std::size_t at = 0; at < total;) {
                const std::size_t count = std::min<std::size_t>(total - at, 1 + random() % 300000);
                ASSERT_TRUE(writer.write(data.data() + at, count));
                at += count;
            }
            EXPECT_TRUE(writer.finish());
        }
        EXPECT_TRUE(sink.bytes == data) << total << " bytes";
    }
}

TEST(BackgroundWriterTest, FailureOfTheTargetIsReported)
{
    const std::vector<std::uint8_t> data = pattern(std::size_t {4} << 20);
    LimitedSink sink(std::size_t {1} << 20);
    BackgroundWriter writer(sink);
    bool accepted = true;
    // Once the writer has seen the failure, further writes are refused.
    for (std::size_t at = 0; accepted && at < data.size(); at += 65536)
        accepted = writer.write(data.data() + at, 65536);
    EXPECT_FALSE(writer.finish());
    EXPECT_LE(sink.bytes.size(), std::size_t {1} << 20);
}

// Lent blocks are written without a copy: the caller alternates two blocks and refills
// one as soon as the next lend() returns, which must find the earlier bytes written.
TEST(BackgroundWriterTest, LentBlocksAreWrittenBeforeTheirBlockIsNeededAgain)
{
    const std::vector<std::uint8_t> data = pattern(std::size_t {3} << 20);
    const std::size_t blockSize = 65536 + 17;
    std::vector<std::uint8_t> blocks[2] = {std::vector<std::uint8_t>(blockSize), std::vector<std::uint8_t>(blockSize)};
    LimitedSink sink(~std::size_t {0});
    {
        BackgroundWriter writer(sink);
        int filling = 0;
        for (std::size_t at = 0; at < data.size(); at += blockSize, filling ^= 1) {
            const std::size_t count = std::min(blockSize, data.size() - at);
            std::copy_n(data.begin() + static_cast<std::ptrdiff_t>(at), count, blocks[filling].begin());
            ASSERT_TRUE(writer.lend(blocks[filling].data(), count));
        }
        EXPECT_TRUE(writer.finish());
    }
    EXPECT_TRUE(sink.bytes == data);
}
