// The installer's archive reading on arbitrary bytes. The input is a 4-byte little-endian archive
// position (what the packer writes into the stub's patch record) followed by the program file.
// The table is read from that file; every entry's head is read and its content decoded twice,
// once whole and once in small pieces, as the stub does for large entries.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "ArchiveEntry.h"
#include "ArchiveTable.h"
#include "InputFile.h"
#include "LzssDecoder.h"

namespace {

namespace fs = std::filesystem;

// Counts what it is given, and checks both decodings agree byte for byte.
class CollectingSink : public setupstub::ByteSink {
public:
    bool write(const std::uint8_t* bytes, std::size_t count) override {
        collected.insert(collected.end(), bytes, bytes + count);
        return true;
    }
    std::vector<std::uint8_t> collected;
};

const std::string& ProgramPath() {
    static const std::string path = [] {
        const fs::path base = fs::exists("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
        return (base / ("tessarel-fuzz-stub-" + std::to_string(::getpid()) + ".exe")).string();
    }();
    static const bool removedAtExit = std::atexit([] {
        std::error_code error;
        std::filesystem::remove(ProgramPath(), error);
    }) == 0;
    (void)removedAtExit;
    return path;
}

// The content is decoded whole, then in pieces of 64 bytes with the carry the decoder asks for.
void DecodeBothWays(const std::vector<std::uint8_t>& content) {
    setupstub::LzssDecoder whole;
    CollectingSink wholeSink;
    if (!whole.decode(content.data(), content.size(), wholeSink)) std::abort();

    setupstub::LzssDecoder pieces;
    CollectingSink pieceSink;
    pieces.begin();
    std::vector<std::uint8_t> pending;
    std::size_t next = 0;
    constexpr std::size_t kPiece = 64;
    for (;;) {
        const std::size_t take = std::min(kPiece, content.size() - next);
        pending.insert(pending.end(), content.begin() + static_cast<std::ptrdiff_t>(next),
                       content.begin() + static_cast<std::ptrdiff_t>(next + take));
        next += take;
        const bool last = next == content.size();
        const std::uint8_t* in = pending.data();
        if (!pieces.decodeSome(in, pending.data() + pending.size(), last, pieceSink)) std::abort();
        pending.erase(pending.begin(), pending.begin() + (in - pending.data()));
        if (last) break;
    }
    if (!pieces.finish(pieceSink)) std::abort();
    // Both ways are the same stream; a difference is a decoder fault.
    if (pieceSink.collected != wholeSink.collected) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 4) return 0;
    const std::uint32_t archiveOffset = static_cast<std::uint32_t>(data[0]) | static_cast<std::uint32_t>(data[1]) << 8 |
                                        static_cast<std::uint32_t>(data[2]) << 16 | static_cast<std::uint32_t>(data[3]) << 24;
    {
        std::ofstream out(ProgramPath(), std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data + 4), static_cast<std::streamsize>(size - 4));
        if (!out) std::abort();
    }

    setupstub::InputFile file;
    if (!file.open(ProgramPath())) std::abort();
    setupstub::ArchiveTable table;
    if (table.read(file, archiveOffset)) {
        for (const auto& extent : table.entries()) {
            // The table promised every entry lies inside the file and holds its head.
            if (extent.size < setupstub::ArchiveEntry::headerSize || extent.offset + extent.size > file.size()) std::abort();
            std::vector<std::uint8_t> entry(static_cast<std::size_t>(extent.size));
            if (!file.readAt(extent.offset, entry.data(), entry.size())) std::abort();
            const setupstub::ArchiveEntry head(entry.data());
            (void)head.attributes();
            DecodeBothWays(std::vector<std::uint8_t>(entry.begin() + setupstub::ArchiveEntry::headerSize, entry.end()));
        }
    }
    file.close();
    return 0;
}
