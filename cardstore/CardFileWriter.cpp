#include <new>

#include "ByteOrder.h"
#include "CardFileFormat.h"
#include "core/AtomicFileWriter.h"

namespace tessarel {
namespace {

void AppendText(SecureBytes& out, std::string_view text) {
    out.insert(out.end(), text.begin(), text.end());
    out.push_back(0);
}

}  // namespace

void WriteHeader(SecureBytes& out, const CardFileHeader& header, CCardFileData& doc) {
    std::uint8_t bytes[kHeaderSize];
    bytes[0] = header.byte0;
    bytes[1] = header.version;
    WriteLe16(bytes + 2, header.word2);
    WriteLe16(bytes + 4, header.word4);
    WriteLe16(bytes + 6, header.word6);
    WriteLe16(bytes + 8, header.word8);
    bytes[10] = header.byte10;
    bytes[11] = header.byte11;
    bytes[12] = header.bodyKind;
    bytes[13] = header.byte13;
    WriteLe32(bytes + 14, header.signature);
    WriteLe32(bytes + 18, header.carried);
    out.insert(out.end(), bytes, bytes + kHeaderSize);
    std::copy(bytes, bytes + kHeaderSize, doc.headerCopy.begin());
}

void WriteCardRecord(const CCard& card, SecureBytes& out) {
    const std::size_t n = card.ByteSize() - kRecordHeadSize;
    std::uint8_t head[kRecordHeadSize] = {};
    head[0] = card.GetCategoryCode();
    head[2] = card.GetRecordFlags();
    head[3] = card.GetStatusFlags();
    WriteLe32(head + 4, card.GetModified());
    WriteLe32(head + 8, card.GetSyncValue());
    WriteLe32(head + 20, static_cast<std::uint32_t>(n));
    out.insert(out.end(), head, head + kRecordHeadSize);
    AppendText(out, card.GetFieldText1());
    AppendText(out, card.GetFieldText2());
    AppendText(out, card.GetFieldText3());
    AppendText(out, card.GetFieldText4());
    AppendText(out, card.GetNote());
}

void WriteAllRecords(const CCardFileData& doc, SecureBytes& out) {
    for (int code = 0; code < kCategoryCount; ++code) {
        for (const auto& card : *doc.GetCategoryList(code)) WriteCardRecord(*card, out);
    }
    for (const auto& card : doc.GetDeletedList()) WriteCardRecord(*card, out);
}

bool WriteCardFile(CCardFileData& doc, SecureBytes& out, UserInterface& ui) {
    out.clear();
    CardFileHeader header;
    header.carried = doc.carriedValue;
    if (doc.encryptionMode == 1) {
        header.bodyKind = 1;
        WriteHeader(out, header, doc);
        return WriteEncryptedBody(doc, out, ui);
    }
    try {
        // One allocation for the whole file: the records are appended without moving it again.
        out.reserve(kHeaderSize + doc.TotalByteSize());
    } catch (const std::bad_alloc&) {
        ui.Tell("Memory Allocation failed");
        return false;
    }
    WriteHeader(out, header, doc);
    WriteAllRecords(doc, out);
    return true;
}

CardFileSaveResult SaveCardFile(CCardFileData& doc, const std::string& path, UserInterface& ui) {
    CardFileSaveResult result;
    SecureBytes bytes;
    if (!WriteCardFile(doc, bytes, ui)) {
        result.stopped = true;
        return result;
    }
    result.ok = WriteFileAtomically(path, bytes, &result.errorText);
    return result;
}

}  // namespace tessarel
