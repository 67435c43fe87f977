#pragma once
// A temporary folder, a scripted user interface and a file-encryption state with a password set,
// plus a snapshot of the folder to prove that a refusal changed nothing.

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "filecrypt/FileEncryptionOperations.h"
#include "filecrypt/FileEncryptionState.h"
#include "support/ScriptedUserInterface.h"
#include "support/TempDir.h"

namespace tessarel::testing {

inline const std::string kPassword = "Correct horse 1";

inline std::vector<std::uint8_t> RandomBytes(std::size_t size, unsigned seed) {
    std::mt19937 generator(seed);
    std::vector<std::uint8_t> bytes(size);
    for (auto& byte : bytes) byte = static_cast<std::uint8_t>(generator());
    return bytes;
}

using FolderSnapshot = std::map<std::string, std::vector<std::uint8_t>>;

class FileCryptFixture : public ::testing::Test {
protected:
    void SetUp() override { UsePassword(kPassword); }

    void UsePassword(const std::string& password) {
        state.filePassword = SecureString(password.begin(), password.end());
        state.filePasswordSet = true;
    }

    std::string MakeFile(const std::string& name, const std::vector<std::uint8_t>& bytes) {
        const std::string path = dir.File(name);
        WriteBytes(path, bytes);
        return path;
    }

    CFileEncryptionOperations::Result Encrypt(const std::string& path) {
        state.selectedFilePath = path;
        return Operations().EncryptSelectedFile();
    }

    CFileEncryptionOperations::Result Decrypt(const std::string& path) {
        state.selectedFilePath = path;
        return Operations().DecryptSelectedFile();
    }

    CFileEncryptionOperations Operations() { return CFileEncryptionOperations(state, ui, pieceSize); }

    // Every entry of the folder (temporary files included) with its bytes.
    FolderSnapshot Snapshot() const {
        FolderSnapshot snapshot;
        for (const auto& entry : std::filesystem::directory_iterator(dir.Path())) {
            snapshot[entry.path().filename().string()] = ReadBytes(entry.path().string());
        }
        return snapshot;
    }

    TempDir dir;
    ScriptedUserInterface ui;
    CFileEncryptionState state;
    std::size_t pieceSize = CFileEncryptionOperations::kDefaultPieceSize;
};

}  // namespace tessarel::testing
