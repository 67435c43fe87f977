#include "ArchiveBuilder.h"

#include <algorithm>
#include <cstring>

namespace stubpack {

namespace {

// The unfilled patch record's text, the only way to find the record in a stub.
constexpr char recordText[] = "OPALUXOPALUX";

void appendUint32(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

void appendUint64(std::vector<std::uint8_t>& out, std::uint64_t value)
{
    appendUint32(out, static_cast<std::uint32_t>(value));
    appendUint32(out, static_cast<std::uint32_t>(value >> 32));
}

} // namespace

long long ArchiveBuilder::findPatchRecord(const std::vector<std::uint8_t>& stub, std::string& error)
{
    const auto* text = reinterpret_cast<const std::uint8_t*>(recordText);
    const auto first = std::search(stub.begin(), stub.end(), text, text + recordSize);
    if (first == stub.end()) {
        error = "the stub holds no unfilled patch record (already packed?)";
        return -1;
    }
    if (std::search(first + 1, stub.end(), text, text + recordSize) != stub.end()) {
        error = "the patch record's text appears more than once in the stub";
        return -1;
    }
    return first - stub.begin();
}

std::vector<std::uint8_t> ArchiveBuilder::build(const std::vector<std::uint8_t>& stub,
                                                const std::vector<PackEntry>& entries, std::string& error)
{
    if (entries.empty()) {
        error = "an archive needs at least one file";
        return {};
    }
    const long long record = findPatchRecord(stub, error);
    if (record < 0)
        return {};

    // Every position is a 32-bit value, so the whole packed file must stay below 4 GiB.
    std::uint64_t total = stub.size() + 4 * entries.size();
    for (const PackEntry& entry : entries)
        total += 28 + entry.compressed.size();
    if (total > 0xFFFFFFFFull) {
        error = "the packed program would exceed 4 GiB";
        return {};
    }

    const auto archiveOffset = static_cast<std::uint32_t>(stub.size());
    // The stub takes a position equal to its marker bytes 8 to 11 for "not packed".
    std::uint32_t unfilled = 0;
    for (int i = 3; i >= 0; --i)
        unfilled = (unfilled << 8) | stub[static_cast<std::size_t>(record) + 8 + static_cast<std::size_t>(i)];
    if (archiveOffset == unfilled) {
        error = "the stub's size collides with the unfilled record's value";
        return {};
    }

    std::vector<std::uint8_t> out(stub);
    out.reserve(static_cast<std::size_t>(total));
    std::uint32_t position = archiveOffset + static_cast<std::uint32_t>(4 * entries.size());
    for (const PackEntry& entry : entries) {
        appendUint32(out, position);
        position += static_cast<std::uint32_t>(28 + entry.compressed.size());
    }
    for (const PackEntry& entry : entries) {
        appendUint32(out, entry.attributes);
        appendUint64(out, entry.creationTime);
        appendUint64(out, entry.lastAccessTime);
        appendUint64(out, entry.lastWriteTime);
        out.insert(out.end(), entry.compressed.begin(), entry.compressed.end());
    }
    for (int i = 0; i < 4; ++i)
        out[static_cast<std::size_t>(record) + 2 + static_cast<std::size_t>(i)]
            = static_cast<std::uint8_t>(archiveOffset >> (8 * i));
    return out;
}

} // namespace stubpack
