// Single-file decryption on arbitrary bytes: the input is written as an encrypted file ("...~~~")
// into a private folder, recognised and decrypted with the fixed fuzz password; whatever the
// operation leaves behind is removed before the next run. Small pieces keep each run cheap.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "FuzzUserInterface.h"
#include "filecrypt/FileEncryptionOperations.h"
#include "filecrypt/FileEncryptionState.h"

namespace {

namespace fs = std::filesystem;

// Kept for the whole process (never destroyed), so the exit handler can still remove it.
const fs::path& WorkFolder() {
    static const fs::path* folder = [] {
        const fs::path base = fs::exists("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
        auto* made = new fs::path(base / ("tessarel-fuzz-filecrypt-" + std::to_string(::getpid())));
        fs::remove_all(*made);
        fs::create_directories(*made);
        std::atexit([] {
            std::error_code error;
            fs::remove_all(WorkFolder(), error);
        });
        return made;
    }();
    return *folder;
}

void ClearFolder(const fs::path& folder) {
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error)) fs::remove_all(entry.path(), error);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fs::path& folder = WorkFolder();
    const std::string encrypted = (folder / "input.b~~~").string();
    {
        std::ofstream out(encrypted, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
        if (!out) std::abort();
    }

    tessarel::CFileEncryptionState state;
    state.filePassword = tessarel::fuzz::kFuzzPassword;
    state.filePasswordSet = true;
    state.selectedFilePath = encrypted;
    state.selectedIsEncrypted = true;
    tessarel::fuzz::FuzzUserInterface ui;
    tessarel::CFileEncryptionOperations operations(state, ui, 4096);
    if (operations.IsEncryptedFile(encrypted)) (void)operations.DecryptSelectedFile();

    ClearFolder(folder);
    return 0;
}
