#include "ExportTarget.h"

#include <cstdint>
#include <iostream>
#include <utility>

namespace tessarel::cli {

ExportTarget::ExportTarget(std::string path_) : path(std::move(path_)), writer(path) {}

bool ExportTarget::Open() {
    if (path.empty()) return true;
    // Even a file that others could read before is replaced by one only the owner can read.
    writer.MakeOwnerOnly();
    return writer.Open() || Failed();
}

void ExportTarget::Write(std::string_view text) {
    if (path.empty()) {
        std::cout.write(text.data(), static_cast<std::streamsize>(text.size()));
    } else if (ok) {
        // After a failed write the rest is dropped; Finish reports it and keeps the old file.
        ok = writer.Write({reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
    }
}

bool ExportTarget::Finish() {
    if (path.empty()) {
        std::cout << std::flush;
        return true;
    }
    if (ok && writer.Commit()) return true;
    const bool reported = Failed();
    writer.Discard();
    return reported;
}

bool ExportTarget::Failed() {
    std::cerr << "Cannot save file " << path << ": " << writer.ErrorText() << std::endl;
    return false;
}

}  // namespace tessarel::cli
