// Frames on the wire: every kind survives encoding and reading, in one piece or byte by byte,
// and damaged or oversized input ends in "malformed" without reading past what arrived.
#include <gtest/gtest.h>
#include <random>

#include "browser/IpcFrame.h"

namespace tessarel::browser {
namespace {

std::vector<IpcFrame> SampleFrames() {
    std::vector<IpcFrame> frames;
    auto add = [&](FrameKind kind, QByteArray first, QByteArray second, bool flag) {
        IpcFrame frame;
        frame.kind = kind;
        frame.transaction = 0x01020304u + static_cast<std::uint32_t>(frames.size());
        frame.first = std::move(first);
        frame.second = std::move(second);
        frame.flag = flag;
        frames.push_back(frame);
    };
    add(FrameKind::Connect, "Netscape", "WWW_OpenURL", false);
    add(FrameKind::ConnectReply, {}, {}, true);
    add(FrameKind::Request, "\"http://a/\",,0,0,,,Quendal1", {}, false);
    add(FrameKind::Request, {}, {}, false);
    add(FrameKind::Reply, QByteArray("\x01\x00\x00\x00", 4), {}, true);
    add(FrameKind::Reply, {}, {}, false);
    add(FrameKind::Poke, "1", QByteArray("\0bytes\xff", 7), false);
    add(FrameKind::PokeReply, {}, {}, true);
    add(FrameKind::Execute, "[open(\"a\")]", {}, false);
    add(FrameKind::ExecuteReply, {}, {}, false);
    return frames;
}

void ExpectSame(const IpcFrame& read, const IpcFrame& written) {
    EXPECT_EQ(read.kind, written.kind);
    EXPECT_EQ(read.transaction, written.transaction);
    EXPECT_EQ(read.first, written.first);
    EXPECT_EQ(read.second, written.second);
    EXPECT_EQ(read.flag, written.flag);
}

TEST(IpcFrameTest, EveryKindReadsBackInOnePieceAndByteByByte) {
    const auto frames = SampleFrames();
    QByteArray stream;
    for (const auto& frame : frames) stream += frame.Encode();

    IpcFrameReader whole;
    whole.Append(stream);
    for (const auto& written : frames) {
        IpcFrame read;
        ASSERT_EQ(whole.Next(read), IpcFrameReader::Status::Frame);
        ExpectSame(read, written);
    }
    IpcFrame none;
    EXPECT_EQ(whole.Next(none), IpcFrameReader::Status::NeedMore);

    IpcFrameReader trickle;
    std::size_t index = 0;
    for (const char byte : stream) {
        trickle.Append(QByteArray(1, byte));
        IpcFrame read;
        if (trickle.Next(read) == IpcFrameReader::Status::Frame) ExpectSame(read, frames[index++]);
    }
    EXPECT_EQ(index, frames.size());
}

// The layout of docs/ipc-protocol.md, written out by hand: "TQ", the body length, then kind,
// transaction number and the kind's fields, all integers little-endian.
TEST(IpcFrameTest, WireLayoutIsTheDocumentedOne) {
    auto frame = [](FrameKind kind, std::uint32_t transaction, QByteArray first, QByteArray second, bool flag) {
        IpcFrame made;
        made.kind = kind;
        made.transaction = transaction;
        made.first = std::move(first);
        made.second = std::move(second);
        made.flag = flag;
        return made;
    };
    const struct {
        IpcFrame frame;
        const char* hex;
    } cases[] = {
        // Connect: version 1, name "Netscape" (u16 length 8), name "WWW_OpenURL" (u16 length 11).
        {frame(FrameKind::Connect, 0x01020304u, "Netscape", "WWW_OpenURL", false),
         "5451" "1d000000" "01" "04030201" "01" "0800" "4e657473636170" "65" "0b00" "5757575f4f70656e55524c"},
        // Reply with data: has-data 1, bytes of u32 length 4.
        {frame(FrameKind::Reply, 7u, QByteArray("\x01\x00\x00\x00", 4), {}, true),
         "5451" "0e000000" "04" "07000000" "01" "04000000" "01000000"},
        // Reply without data: has-data 0 and nothing after it.
        {frame(FrameKind::Reply, 0xFFFFFFFEu, {}, {}, false), "5451" "06000000" "04" "feffffff" "00"},
        // Poke: item "1", data of three bytes including a NUL and a byte above 127.
        {frame(FrameKind::Poke, 0x0Au, "1", QByteArray("\0\xff" "A", 3), false),
         "5451" "11000000" "05" "0a000000" "01000000" "31" "03000000" "00ff41"},
        // ExecuteReply acknowledged.
        {frame(FrameKind::ExecuteReply, 0x100u, {}, {}, true), "5451" "06000000" "08" "00010000" "01"},
    };
    for (const auto& c : cases) {
        const QByteArray wire = QByteArray::fromHex(c.hex);
        EXPECT_EQ(c.frame.Encode().toHex().toStdString(), wire.toHex().toStdString());
        IpcFrameReader reader;
        reader.Append(wire);
        IpcFrame read;
        ASSERT_EQ(reader.Next(read), IpcFrameReader::Status::Frame) << c.hex;
        ExpectSame(read, c.frame);
        EXPECT_EQ(reader.Next(read), IpcFrameReader::Status::NeedMore) << c.hex;
    }
}

TEST(IpcFrameTest, OversizedFieldsAreNotEncoded) {
    IpcFrame frame;
    frame.kind = FrameKind::Connect;
    frame.first = QByteArray(256, 'n');
    frame.second = "topic";
    EXPECT_TRUE(frame.Encode().isEmpty());
    frame.kind = FrameKind::Request;
    frame.first = QByteArray(static_cast<qsizetype>(IpcFrame::MaxBodySize), 'x');
    EXPECT_TRUE(frame.Encode().isEmpty());
    frame.first.resize(IpcFrame::MaxPayloadSize);
    EXPECT_FALSE(frame.Encode().isEmpty());
}

TEST(IpcFrameTest, AnOversizedHeaderIsRefusedBeforeItsBodyArrives) {
    IpcFrameReader reader;
    reader.Append(QByteArray("TQ\x01\x00\x10\x00", 6));  // 1 MiB + 1
    IpcFrame frame;
    EXPECT_EQ(reader.Next(frame), IpcFrameReader::Status::Malformed);
    EXPECT_EQ(reader.Next(frame), IpcFrameReader::Status::Malformed);  // and stays so
}

// Every single-byte change and every cut of valid frames, and random bytes: the reader answers
// with frames, "need more" or "malformed", and never reads past what it was given (run under the
// address sanitizer to see the latter).
TEST(IpcFrameTest, DamagedAndRandomInputNeverBreaksTheReader) {
    for (const auto& written : SampleFrames()) {
        const QByteArray bytes = written.Encode();
        for (qsizetype at = 0; at < bytes.size(); ++at) {
            for (const char change : {'\x00', '\x01', '\x7f', '\xff'}) {
                QByteArray damaged = bytes;
                damaged[at] = change;
                IpcFrameReader reader;
                reader.Append(damaged);
                IpcFrame frame;
                for (int step = 0; step < 4 && reader.Next(frame) == IpcFrameReader::Status::Frame; ++step) {}
            }
            IpcFrameReader cut;
            cut.Append(bytes.left(at));
            IpcFrame frame;
            EXPECT_EQ(cut.Next(frame), IpcFrameReader::Status::NeedMore) << at;
        }
    }
    std::mt19937 random(8);
    for (int round = 0; round < 2000; ++round) {
        QByteArray noise(static_cast<qsizetype>(random() % 64), '\0');
        for (auto& byte : noise) byte = static_cast<char>(random());
        if (round % 2 == 0) noise.prepend("TQ");
        IpcFrameReader reader;
        reader.Append(noise);
        IpcFrame frame;
        for (int step = 0; step < 8 && reader.Next(frame) == IpcFrameReader::Status::Frame; ++step) {}
    }
}

}  // namespace
}  // namespace tessarel::browser
