#pragma once
// One frame of the local IPC, and the reader that cuts frames out of a byte stream. The layout is
// described in docs/ipc-protocol.md; every length is checked against a fixed limit before anything
// is allocated, and anything that does not parse exactly is reported as malformed.

#include <QByteArray>
#include <cstdint>

namespace tessarel::browser {

enum class FrameKind : std::uint8_t {
    Connect = 1,       // client -> server: protocol version, service, topic
    ConnectReply = 2,  // server -> client: accepted or refused
    Request = 3,       // client -> server: item text
    Reply = 4,         // server -> client: data or no data
    Poke = 5,          // client -> server: item text and data
    PokeReply = 6,     // server -> client: acknowledged or not
    Execute = 7,       // client -> server: command text (the shell's "[open(...)]")
    ExecuteReply = 8,  // server -> client: acknowledged or not
};

struct IpcFrame {
    static constexpr std::uint8_t ProtocolVersion = 1;
    static constexpr int HeaderSize = 6;                // "TQ" + 32-bit body length
    static constexpr std::uint32_t MaxBodySize = 1u << 20;  // 1 MiB
    static constexpr int MaxNameSize = 255;             // service and topic names, UTF-8 bytes
    // The largest item or data that still fits one frame (a poke carries both).
    static constexpr int MaxPayloadSize = static_cast<int>(MaxBodySize) - 64;

    FrameKind kind = FrameKind::Request;
    std::uint32_t transaction = 0;
    std::uint8_t version = ProtocolVersion;  // Connect only
    QByteArray first;   // Connect: service; Request, Poke: item; Reply: data; Execute: command
    QByteArray second;  // Connect: topic; Poke: data
    bool flag = false;  // ConnectReply: accepted; Reply: has data; PokeReply, ExecuteReply: acknowledged

    // The frame on the wire; an empty array when a field is over its limit.
    QByteArray Encode() const;
};

class IpcFrameReader {
public:
    enum class Status { NeedMore, Frame, Malformed };

    void Append(const QByteArray& bytes) { buffer.append(bytes); }
    // Cuts the next frame from the buffer. After Malformed the reader stays malformed.
    Status Next(IpcFrame& frame);
    // Bytes still wanted to complete the frame in progress (at least 1).
    qint64 Wanted() const;

private:
    QByteArray buffer;
    bool broken = false;
};

}  // namespace tessarel::browser
