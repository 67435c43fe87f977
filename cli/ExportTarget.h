#pragma once
// Where an export goes: standard output, or with --output a file that is the owner's alone (it
// holds every password in clear). The file is written through the atomic writer, so a failure
// leaves no half export behind and an existing file is replaced only by a whole one.

#include <string>
#include <string_view>

#include "core/AtomicFileWriter.h"

namespace tessarel::cli {

class ExportTarget {
public:
    // An empty path is standard output.
    explicit ExportTarget(std::string path);

    // Creates the new file; says why on standard error when it cannot.
    bool Open();
    void Write(std::string_view text);
    // Puts the file in place (or flushes standard output); says why on standard error when it cannot.
    bool Finish();

private:
    bool Failed();

    std::string path;
    AtomicFileWriter writer;
    bool ok = true;
};

}  // namespace tessarel::cli
