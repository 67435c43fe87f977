#pragma once
// The file encryption tool's operations on the state the main frame holds: the checks the file list
// makes on a selection, the file password rules, and encrypting or decrypting the selected file.
// Every message goes through the user-interface seam, owned by the main window.
//
// Encryption and decryption stream the file through three pieces of 1 MiB, read and written
// uncached where the file system takes that, on a reader and a writer thread while the caller's
// thread enciphers on every core (see CPiecePipeline). The new file is written beside its final
// name and renamed into place only when complete and flushed; the input is deleted only after
// that, and the release of its space is left to the background. Every refusal and every failure
// leaves all files as they were.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "FileEncryptionState.h"
#include "FilePasswordSource.h"
#include "PiecePipeline.h"
#include "core/UserInterface.h"

namespace tessarel {

class AtomicFileWriter;
class CFileBlockCipher;
class CInputFile;

class CFileEncryptionOperations {
public:
    enum class Result {
        Failed,     // nothing changed on disk; the message was shown
        Done,       // the new file replaced the old one
        InputKept,  // the new file is complete but the old one could not be deleted
    };

    static constexpr std::size_t kDefaultPieceSize = std::size_t{1} << 20;

    // `pieceSize` (a multiple of 8) bounds the memory an operation uses beside the program.
    CFileEncryptionOperations(CFileEncryptionState& state, UserInterface& ui, std::size_t pieceSize = kDefaultPieceSize);

    // Opens the file for reading and closes it; on failure shows the message for the cause.
    bool CheckFileAccess(const std::string& path);
    // Recognition: longer than 32 bytes, with the magic 32 bytes before the end.
    bool IsEncryptedFile(const std::string& path);
    // The file opens and is not empty.
    bool HasContent(const std::string& path);

    // The file list's handling of a selected file, and of a selected folder.
    void SelectFile(const std::string& path);
    void SelectFolder();

    // Asks `source` for the two entries until they pass the rules or the user cancels.
    void SetFilePassword(CFilePasswordSource& source);
    void ClearFilePassword();

    // Both require a set password (their commands are disabled otherwise). On success the
    // selection moves to the new file.
    Result EncryptSelectedFile();
    Result DecryptSelectedFile();

private:
    void Show(std::string_view text);
    // The start both directions share: the password is set and the selected file opens and is
    // not empty. Its length, or nothing after the message for the cause.
    std::optional<std::uint64_t> OpenSelectedFile(CInputFile& input, std::string_view emptyMessage);
    bool MakePipeline(std::uint64_t contentLength, std::optional<CPiecePipeline>& pipeline);
    static CPiecePipeline::Status Stream(CPiecePipeline& pipeline, std::uint64_t length, CInputFile& input, CFileBlockCipher& cipher,
                                         AtomicFileWriter& writer);
    Result RemoveInput(CInputFile& input, const std::string& path, std::string (*notDeleted)(const std::string&, const std::string&));
    std::string_view Password() const { return {state.filePassword.data(), state.filePassword.size()}; }

    CFileEncryptionState& state;
    UserInterface& ui;
    std::size_t pieceSize;
};

}  // namespace tessarel
