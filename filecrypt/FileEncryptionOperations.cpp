#include "FileEncryptionOperations.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <new>
#include <stdexcept>

#include "EncryptedFileName.h"
#include "EncryptedFileTrailer.h"
#include "FileBlockCipher.h"
#include "FileEncryptionMessages.h"
#include "InputFile.h"
#include "PiecePipeline.h"
#include "core/AtomicFileWriter.h"
#include "core/FileReader.h"
#include "crypto/Sha1.h"

namespace tessarel {
namespace msg = filecrypt_messages;

namespace {

constexpr std::size_t kMinimumPasswordLength = 8;

// The message the file list shows when a file cannot be opened, by cause. Causes that mean "no such
// file" show nothing; a cause the list does not name is an unspecified error.
std::string_view AccessMessage(std::error_code cause) {
    const auto is = [&](std::errc code) { return cause == std::make_error_condition(code); };
    if (is(std::errc::no_such_file_or_directory) || is(std::errc::not_a_directory) || is(std::errc::filename_too_long)) return {};
    if (is(std::errc::permission_denied) || is(std::errc::operation_not_permitted) || is(std::errc::is_a_directory)) return msg::kAccessDenied;
    if (is(std::errc::too_many_files_open) || is(std::errc::too_many_files_open_in_system)) return msg::kTooManyOpenFiles;
    if (is(std::errc::text_file_busy) || is(std::errc::device_or_resource_busy)) return msg::kSharingViolation;
    return msg::kUnspecifiedError;
}

bool IsSymbolicLink(const std::string& path) {
    std::error_code ignored;
    return std::filesystem::is_symlink(std::filesystem::symlink_status(path, ignored));
}

void Wipe(SecureString& text) {
    SecureWipe(text.data(), text.capacity());
    text.clear();
}

}  // namespace

CFileEncryptionOperations::CFileEncryptionOperations(CFileEncryptionState& state_, UserInterface& ui_, std::size_t pieceSize_)
    : state(state_), ui(ui_), pieceSize(pieceSize_) {
    if (pieceSize == 0 || pieceSize % CFileBlockCipher::kBlockSize != 0) throw std::invalid_argument("piece size must be a multiple of 8");
}

void CFileEncryptionOperations::Show(std::string_view text) {
    ui.ShowMessage(Message{std::string(text), {}, MessageButtons::Ok, MessageIcon::None, MessageOwner::MainWindow});
}

bool CFileEncryptionOperations::CheckFileAccess(const std::string& path) {
    CInputFile file;
    if (file.Open(path)) return true;
    if (const auto text = AccessMessage(file.Error()); !text.empty()) Show(text);
    return false;
}

bool CFileEncryptionOperations::IsEncryptedFile(const std::string& path) {
    CInputFile file;
    if (!file.Open(path)) {
        Show(msg::kFileOpenError);
        return false;
    }
    const std::uint64_t length = file.Length();
    if (length <= CEncryptedFileTrailer::kMagicFromEnd) return false;
    std::array<std::uint8_t, 8> magic{};
    if (file.ReadAt(length - CEncryptedFileTrailer::kMagicFromEnd, magic) != CInputFile::ReadResult::Ok) return false;
    return CEncryptedFileTrailer::IsRecognized(length, magic);
}

bool CFileEncryptionOperations::HasContent(const std::string& path) {
    CInputFile file;
    if (!file.Open(path)) {
        Show(msg::kCouldNotOpenFile);
        return false;
    }
    return file.Length() != 0;
}

void CFileEncryptionOperations::SelectFile(const std::string& path) {
    // When the file cannot be opened the message has been shown and the flags stay as they were.
    if (CheckFileAccess(path)) {
        if (IsEncryptedFile(path)) {
            state.selectedIsEncrypted = true;
            state.selectedIsPlain = false;
        } else {
            state.selectedIsEncrypted = false;
            state.selectedIsPlain = HasContent(path);
            if (!state.selectedIsPlain) Show(msg::kSelectedFileEmpty);
        }
    }
    state.selectedFilePath = path;
}

void CFileEncryptionOperations::SelectFolder() {
    state.selectedIsPlain = false;
    state.selectedIsEncrypted = false;
    state.selectedFilePath.clear();
}

void CFileEncryptionOperations::SetFilePassword(CFilePasswordSource& source) {
    for (;;) {
        SecureString initial = state.filePasswordSet ? state.filePassword : SecureString{};
        auto entries = source.AskFilePassword(initial);
        Wipe(initial);
        if (!entries) return;
        SecureString& entry = entries->first;
        const bool identical = entry == entries->second;
        Wipe(entries->second);
        const std::size_t length = entry.size();
        if (!identical || length < kMinimumPasswordLength) {
            Wipe(entry);
            Show(identical ? msg::kPasswordTooShort : msg::kPasswordMismatch);
            continue;
        }
        bool take = true;
        if (state.filePasswordSet && entry != state.filePassword) {
            const Message question{std::string(msg::kChangePassword), {}, MessageButtons::YesNo, MessageIcon::Question, MessageOwner::MainWindow};
            take = ui.ShowMessage(question) == MessageAnswer::Yes;
        }
        if (take) {
            Wipe(state.filePassword);
            state.filePassword = entry;
        }
        Wipe(entry);
        state.filePasswordSet = !state.filePassword.empty();
        return;
    }
}

void CFileEncryptionOperations::ClearFilePassword() { state.ForgetPassword(); }

bool CFileEncryptionOperations::MakePipeline(std::uint64_t contentLength, std::optional<CPiecePipeline>& pipeline) {
    try {
        pipeline.emplace(pieceSize, contentLength, CFileBlockCipher::kBlockSize);
    } catch (const std::bad_alloc&) {
        return false;
    } catch (const std::length_error&) {
        return false;
    }
    return true;
}

CPiecePipeline::Status CFileEncryptionOperations::Stream(CPiecePipeline& pipeline, std::uint64_t length, CInputFile& input,
                                                         CFileBlockCipher& cipher, AtomicFileWriter& writer) {
    // Both files pass once from start to end: neither is worth a copy through the page cache.
    input.PreferUncached();
    return pipeline.Run(
        length, [&](std::span<std::uint8_t> piece) { return input.Read(piece); },
        [&](std::span<std::uint8_t> piece) { cipher.Process(piece); },
        [&](std::span<const std::uint8_t> piece) { return writer.Write(piece); });
}

CFileEncryptionOperations::Result CFileEncryptionOperations::RemoveInput(
    CInputFile& input, const std::string& path, std::string (*notDeleted)(const std::string&, const std::string&)) {
    int cause = 0;
    // The input is still open: its name goes now, its space when it is closed, in the background.
    if (RemoveFile(path, &cause)) {
        input.CloseInBackground();
        return Result::Done;
    }
    input.Close();
    Show(notDeleted(path, std::generic_category().message(cause)));
    return Result::InputKept;
}

std::optional<std::uint64_t> CFileEncryptionOperations::OpenSelectedFile(CInputFile& input, std::string_view emptyMessage) {
    // Both commands are disabled without a password; a caller that runs them anyway gets nothing.
    if (!state.filePasswordSet || state.filePassword.empty()) return std::nullopt;
    if (!input.Open(state.selectedFilePath)) {
        Show(msg::kCouldNotOpenFile);
        return std::nullopt;
    }
    const std::uint64_t length = input.Length();
    if (length == 0) {
        Show(emptyMessage);
        return std::nullopt;
    }
    return length;
}

CFileEncryptionOperations::Result CFileEncryptionOperations::EncryptSelectedFile() {
    const std::string plainPath = state.selectedFilePath;
    CInputFile input;
    const std::optional<std::uint64_t> opened = OpenSelectedFile(input, msg::kFileEmptyCannotEncrypt);
    if (!opened) return Result::Failed;
    const std::uint64_t length = *opened;
    if (IsSymbolicLink(plainPath)) {
        Show(msg::SymbolicLinkNotEncrypted(plainPath));
        return Result::Failed;
    }
    const auto encryptedPath = CEncryptedFileName::EncryptedPath(plainPath);
    if (!encryptedPath) {
        Show(msg::NameTooShort(plainPath));
        return Result::Failed;
    }
    if (FileExists(*encryptedPath)) {
        Show(msg::EncryptedNameExists(*encryptedPath));
        return Result::Failed;
    }
    std::optional<CPiecePipeline> pipeline;
    if (!MakePipeline(length, pipeline)) {
        Show(msg::kUnableToAllocate);
        Show(msg::kCanNotAllocate);
        return Result::Failed;
    }

    AtomicFileWriter writer(*encryptedPath);
    writer.KeepModeOf(plainPath);  // the encrypted file stands in for the plain one
    writer.PreferUncached();
    if (!writer.Open()) {
        Show(msg::kCouldNotOpenFile);
        Show(msg::kWriteEncryptedFileError);
        return Result::Failed;
    }
    CFileBlockCipher cipher(Password(), CFileBlockCipher::Direction::Encrypt, CFileBlockCipher::Tail::Residual);
    switch (Stream(*pipeline, length, input, cipher, writer)) {
        case CPiecePipeline::Status::Ok: break;
        case CPiecePipeline::Status::ReadIoError: Show(msg::kReadBytesError); return Result::Failed;
        // Going on would encrypt less than the file holds and then delete the file.
        case CPiecePipeline::Status::ReadShort: Show(msg::kNotAllBytesRead); return Result::Failed;
        case CPiecePipeline::Status::WriteFailed: Show(msg::kWriteEncryptedFileError); return Result::Failed;
    }
    // Bytes beyond the length we started with would be lost when the original is deleted.
    if (!input.AtEnd()) {
        Show(msg::FileChangedWhileReading(plainPath));
        return Result::Failed;
    }

    CEncryptedFileTrailer trailer;
    PasswordDigest(Password(), trailer.digest.data());
    trailer.nameTail = CEncryptedFileName::TailOf(plainPath);
    trailer.residualTermination = length % CFileBlockCipher::kBlockSize != 0;
    const auto trailerBytes = trailer.Serialize();
    if (!writer.Write(trailerBytes) || !writer.Commit()) {
        Show(msg::kWriteEncryptedFileError);
        return Result::Failed;
    }

    state.selectedFilePath = *encryptedPath;
    state.selectedIsPlain = false;
    state.selectedIsEncrypted = true;
    return RemoveInput(input, plainPath, &msg::PlainFileNotDeleted);
}

CFileEncryptionOperations::Result CFileEncryptionOperations::DecryptSelectedFile() {
    const std::string encryptedPath = state.selectedFilePath;
    CInputFile input;
    const std::optional<std::uint64_t> opened = OpenSelectedFile(input, msg::kFileEmptyCanNotDecrypt);
    if (!opened) return Result::Failed;
    const std::uint64_t total = *opened;
    if (total < CEncryptedFileTrailer::kSize) {
        Show(msg::TooShortToDecrypt(encryptedPath));
        return Result::Failed;
    }
    const std::uint64_t length = total - CEncryptedFileTrailer::kSize;
    std::array<std::uint8_t, CEncryptedFileTrailer::kSize> trailerBytes{};
    if (input.ReadAt(length, trailerBytes) != CInputFile::ReadResult::Ok) {
        Show(msg::kReadBytesInMemoryError);
        return Result::Failed;
    }
    const auto trailer = CEncryptedFileTrailer::Parse(trailerBytes);
    if (!CEncryptedFileName::IsUsableTail(trailer.nameTail)) {
        Show(msg::InvalidStoredName(encryptedPath));
        return Result::Failed;
    }
    const auto restoredPath = CEncryptedFileName::RestoredPath(encryptedPath, trailer.nameTail);
    if (!restoredPath) {
        Show(msg::NameTooShort(encryptedPath));
        return Result::Failed;
    }
    if (FileExists(*restoredPath)) {
        Show(msg::RestoredNameExists(*restoredPath));
        return Result::Failed;
    }
    // The ciphertext carries no check of its own; the stored digest is the only judge, so it is
    // asked before a single byte is deciphered.
    std::array<std::uint8_t, kSha1DigestSize> digest{};
    PasswordDigest(Password(), digest.data());
    if (digest != trailer.digest) {
        Show(msg::kWrongPassword);
        return Result::Failed;
    }
    std::optional<CPiecePipeline> pipeline;
    if (!MakePipeline(length, pipeline)) {
        Show(msg::kUnableToAllocate);
        return Result::Failed;
    }

    AtomicFileWriter writer(*restoredPath);
    writer.KeepModeOf(encryptedPath);  // so a round trip gives the plain file its mode back
    writer.PreferUncached();
    if (!writer.Open()) {
        Show(msg::kCouldNotOpenFile);
        Show(msg::kWriteBytesToDiskError);
        return Result::Failed;
    }
    const auto tail = trailer.residualTermination ? CFileBlockCipher::Tail::Residual : CFileBlockCipher::Tail::ZeroPadded;
    CFileBlockCipher cipher(Password(), CFileBlockCipher::Direction::Decrypt, tail);
    if (!input.Seek(0)) {
        Show(msg::kReadBytesInMemoryError);
        return Result::Failed;
    }
    switch (Stream(*pipeline, length, input, cipher, writer)) {
        case CPiecePipeline::Status::Ok: break;
        case CPiecePipeline::Status::ReadIoError: Show(msg::kReadBytesInMemoryError); return Result::Failed;
        case CPiecePipeline::Status::ReadShort: Show(msg::kBytesNotReadCorrectly); return Result::Failed;
        case CPiecePipeline::Status::WriteFailed: Show(msg::kWriteBytesToDiskError); return Result::Failed;
    }
    if (!writer.Commit()) {
        Show(msg::kWriteBytesToDiskError);
        return Result::Failed;
    }

    state.selectedFilePath = *restoredPath;
    state.selectedIsPlain = true;
    state.selectedIsEncrypted = false;
    return RemoveInput(input, encryptedPath, &msg::EncryptedFileNotDeleted);
}

}  // namespace tessarel
