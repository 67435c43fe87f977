// The local IPC's frame reader and the "WWW_" argument decoding on arbitrary bytes. The first
// byte picks how the stream is cut into reads (1 to 64 bytes each, as a socket may deliver it);
// every frame cut out is checked against the reader's limits, and its item text or reply data is
// decoded under each layout the program's verbs use.
#include <QByteArray>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "browser/DdeArguments.h"
#include "browser/IpcFrame.h"

namespace {

using tessarel::browser::DdeArguments;
using tessarel::browser::FrameKind;
using tessarel::browser::IpcFrame;
using tessarel::browser::IpcFrameReader;

constexpr std::string_view kLayouts[] = {
    "DW", "BL", "QCS", "CS", "DW,DW", "QCS,QCS", "DW,QCS", "QCS,DW,DW", "DW,QCS,DW", "QCS,QCS,DW,QCS",
    "QCS,QCS,QCS,DW", "QCS,QCS,DW,DW,QCS,QCS,CS",
};

void DecodeArguments(const QByteArray& text) {
    const std::string_view view(text.constData(), static_cast<std::size_t>(text.size()));
    for (const auto layout : kLayouts) {
        const auto values = DdeArguments::Decode(layout, view);
        if (values.size() != DdeArguments::Codes(layout).size()) std::abort();
        (void)DdeArguments::DecodeReply(layout, view);
    }
}

void CheckFrame(const IpcFrame& frame) {
    if (frame.first.size() > IpcFrame::MaxPayloadSize || frame.second.size() > IpcFrame::MaxPayloadSize) std::abort();
    switch (frame.kind) {
        case FrameKind::Connect:
            if (frame.first.size() > IpcFrame::MaxNameSize || frame.second.size() > IpcFrame::MaxNameSize) std::abort();
            break;
        case FrameKind::Request:
        case FrameKind::Poke:
        case FrameKind::Reply:
        case FrameKind::Execute: DecodeArguments(frame.first); break;
        default: break;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::size_t chunk = 1 + data[0] % 64;
    const char* stream = reinterpret_cast<const char*>(data + 1);
    const std::size_t length = size - 1;

    IpcFrameReader reader;
    IpcFrame frame;
    for (std::size_t at = 0; at < length; at += chunk) {
        const std::size_t take = std::min(chunk, length - at);
        reader.Append(QByteArray(stream + at, static_cast<qsizetype>(take)));
        for (;;) {
            const auto status = reader.Next(frame);
            if (status == IpcFrameReader::Status::Frame) {
                CheckFrame(frame);
                continue;
            }
            if (status == IpcFrameReader::Status::NeedMore && reader.Wanted() < 1) std::abort();
            if (status == IpcFrameReader::Status::Malformed) return 0;
            break;
        }
    }
    // The whole input also goes through the argument decoder directly, as a poke's data would.
    DecodeArguments(QByteArray(stream, static_cast<qsizetype>(length)));
    return 0;
}
