#include "browser/IpcFrame.h"

#include <QtEndian>

namespace tessarel::browser {
namespace {

constexpr char Magic0 = 'T';
constexpr char Magic1 = 'Q';

void PutU8(QByteArray& out, std::uint8_t value) { out.append(static_cast<char>(value)); }

void PutU16(QByteArray& out, std::uint16_t value) {
    char bytes[2];
    qToLittleEndian(value, bytes);
    out.append(bytes, 2);
}

void PutU32(QByteArray& out, std::uint32_t value) {
    char bytes[4];
    qToLittleEndian(value, bytes);
    out.append(bytes, 4);
}

// A cursor over one frame body; every read checks the bytes left first.
class BodyCursor {
public:
    explicit BodyCursor(QByteArrayView bytes) : body(bytes) {}

    bool U8(std::uint8_t& value) {
        if (Left() < 1) return false;
        value = static_cast<std::uint8_t>(body[at++]);
        return true;
    }
    bool U32(std::uint32_t& value) {
        if (Left() < 4) return false;
        value = qFromLittleEndian<std::uint32_t>(body.data() + at);
        at += 4;
        return true;
    }
    bool Flag(bool& value) {
        std::uint8_t byte = 0;
        if (!U8(byte) || byte > 1) return false;
        value = byte == 1;
        return true;
    }
    bool Name(QByteArray& value) {
        if (Left() < 2) return false;
        const auto size = qFromLittleEndian<std::uint16_t>(body.data() + at);
        at += 2;
        if (size == 0 || size > IpcFrame::MaxNameSize || Left() < size) return false;
        value = body.sliced(at, size).toByteArray();
        at += size;
        return true;
    }
    bool Bytes(QByteArray& value) {
        std::uint32_t size = 0;
        if (!U32(size) || size > static_cast<std::uint32_t>(Left())) return false;
        value = body.sliced(at, static_cast<qsizetype>(size)).toByteArray();
        at += static_cast<qsizetype>(size);
        return true;
    }
    bool AtEnd() const { return Left() == 0; }

private:
    qsizetype Left() const { return body.size() - at; }

    QByteArrayView body;
    qsizetype at = 0;
};

bool ValidName(const QByteArray& name) { return !name.isEmpty() && name.size() <= IpcFrame::MaxNameSize; }

bool ParseBody(QByteArrayView body, IpcFrame& frame) {
    BodyCursor cursor(body);
    std::uint8_t kind = 0;
    if (!cursor.U8(kind) || !cursor.U32(frame.transaction)) return false;
    frame.first.clear();
    frame.second.clear();
    frame.flag = false;
    bool ok = false;
    switch (static_cast<FrameKind>(kind)) {
    case FrameKind::Connect:
        ok = cursor.U8(frame.version) && cursor.Name(frame.first) && cursor.Name(frame.second);
        break;
    case FrameKind::ConnectReply:
    case FrameKind::PokeReply:
    case FrameKind::ExecuteReply:
        ok = cursor.Flag(frame.flag);
        break;
    case FrameKind::Request:
    case FrameKind::Execute:
        ok = cursor.Bytes(frame.first);
        break;
    case FrameKind::Reply:
        ok = cursor.Flag(frame.flag) && (!frame.flag || cursor.Bytes(frame.first));
        break;
    case FrameKind::Poke:
        ok = cursor.Bytes(frame.first) && cursor.Bytes(frame.second);
        break;
    default:
        return false;
    }
    frame.kind = static_cast<FrameKind>(kind);
    return ok && cursor.AtEnd();
}

}  // namespace

QByteArray IpcFrame::Encode() const {
    QByteArray body;
    PutU8(body, static_cast<std::uint8_t>(kind));
    PutU32(body, transaction);
    switch (kind) {
    case FrameKind::Connect:
        if (!ValidName(first) || !ValidName(second)) return {};
        PutU8(body, version);
        PutU16(body, static_cast<std::uint16_t>(first.size()));
        body.append(first);
        PutU16(body, static_cast<std::uint16_t>(second.size()));
        body.append(second);
        break;
    case FrameKind::ConnectReply:
    case FrameKind::PokeReply:
    case FrameKind::ExecuteReply:
        PutU8(body, flag ? 1 : 0);
        break;
    case FrameKind::Request:
    case FrameKind::Execute:
        PutU32(body, static_cast<std::uint32_t>(first.size()));
        body.append(first);
        break;
    case FrameKind::Reply:
        PutU8(body, flag ? 1 : 0);
        if (flag) {
            PutU32(body, static_cast<std::uint32_t>(first.size()));
            body.append(first);
        }
        break;
    case FrameKind::Poke:
        PutU32(body, static_cast<std::uint32_t>(first.size()));
        body.append(first);
        PutU32(body, static_cast<std::uint32_t>(second.size()));
        body.append(second);
        break;
    }
    if (static_cast<std::uint64_t>(body.size()) > MaxBodySize) return {};
    QByteArray frame;
    frame.reserve(HeaderSize + body.size());
    frame.append(Magic0);
    frame.append(Magic1);
    PutU32(frame, static_cast<std::uint32_t>(body.size()));
    frame.append(body);
    return frame;
}

IpcFrameReader::Status IpcFrameReader::Next(IpcFrame& frame) {
    if (broken) return Status::Malformed;
    // Check the magic as soon as its bytes are there, so garbage is refused without waiting.
    if ((buffer.size() >= 1 && buffer[0] != Magic0) || (buffer.size() >= 2 && buffer[1] != Magic1)) {
        broken = true;
        return Status::Malformed;
    }
    if (buffer.size() < IpcFrame::HeaderSize) return Status::NeedMore;
    const auto size = qFromLittleEndian<std::uint32_t>(buffer.constData() + 2);
    if (size < 5 || size > IpcFrame::MaxBodySize) {
        broken = true;
        return Status::Malformed;
    }
    const qsizetype total = IpcFrame::HeaderSize + static_cast<qsizetype>(size);
    if (buffer.size() < total) return Status::NeedMore;
    const bool parsed = ParseBody(QByteArrayView(buffer).sliced(IpcFrame::HeaderSize, size), frame);
    buffer.remove(0, total);
    if (!parsed) {
        broken = true;
        return Status::Malformed;
    }
    return Status::Frame;
}

qint64 IpcFrameReader::Wanted() const {
    if (buffer.size() < IpcFrame::HeaderSize) return IpcFrame::HeaderSize - buffer.size();
    const auto size = qFromLittleEndian<std::uint32_t>(buffer.constData() + 2);
    const qint64 total = IpcFrame::HeaderSize + static_cast<qint64>(size);
    return total > buffer.size() ? total - buffer.size() : 1;
}

}  // namespace tessarel::browser
