#pragma once
// What the file encryption tool must show, written out here letter for letter instead of taken
// from the program's own constants: a typo in a text, or one constant used in place of another,
// makes the tests that compare with these fail. The named refusals are spelled out the same way
// for the plain ASCII paths the tests use.

#include <string>
#include <string_view>

namespace tessarel::expected_messages {

inline constexpr std::string_view kCouldNotOpenFile = "Could not open file";
inline constexpr std::string_view kFileOpenError = "File open error";
inline constexpr std::string_view kAccessDenied = "The file could not be accessed.!";
inline constexpr std::string_view kTooManyOpenFiles = "The permitted number of open files was exceeded.";
inline constexpr std::string_view kUnspecifiedError = "An unspecified error occurred.";
inline constexpr std::string_view kSharingViolation = "File sharing violation";
inline constexpr std::string_view kSelectedFileEmpty = "File is empty, can not encrypt";
inline constexpr std::string_view kFileEmptyCannotEncrypt = "File is empty, cannot encrypt.";
inline constexpr std::string_view kUnableToAllocate = "Unable to Allocate memory";
inline constexpr std::string_view kCanNotAllocate = "Can not Allocate memory";
inline constexpr std::string_view kReadBytesError = "Read bytes in memory Error";
inline constexpr std::string_view kNotAllBytesRead = "Not all bytes read!";
inline constexpr std::string_view kWriteEncryptedFileError = "WriteEncryptedFileToDisk() Error";
inline constexpr std::string_view kFileEmptyCanNotDecrypt = "File is empty, can not decrypt";
inline constexpr std::string_view kReadBytesInMemoryError = "ReadBytesInMemory() Error";
inline constexpr std::string_view kBytesNotReadCorrectly = "Bytes not read correctly";
inline constexpr std::string_view kWrongPassword = "Password not correct,try again!";
inline constexpr std::string_view kWriteBytesToDiskError = "WriteBytesToDisk() Error";
inline constexpr std::string_view kPasswordMismatch = "Password not correct, please try again!";
inline constexpr std::string_view kPasswordTooShort = "Password to short, please use more characters!";
inline constexpr std::string_view kChangePassword = "Change File Encryption Password?";

inline std::string EncryptedNameExists(const std::string& path) {
    return "The file \"" + path + "\" already exists. The file was not encrypted, so that it is not overwritten.";
}
inline std::string RestoredNameExists(const std::string& path) {
    return "The file \"" + path + "\" already exists. The file was not decrypted, so that it is not overwritten.";
}
inline std::string NameTooShort(const std::string& path) {
    return "The name of \"" + path + "\" is too short: it needs at least three characters. Nothing was changed.";
}
inline std::string TooShortToDecrypt(const std::string& path) {
    return "The file \"" + path + "\" is too short to be an encrypted file. Nothing was changed.";
}
inline std::string InvalidStoredName(const std::string& path) {
    return "The file \"" + path + "\" holds an invalid original name and is not a usable encrypted file. Nothing was changed.";
}
inline std::string FileChangedWhileReading(const std::string& path) {
    return "The file \"" + path + "\" grew while it was being encrypted. It was left as it was.";
}
inline std::string SymbolicLinkNotEncrypted(const std::string& path) {
    return "The file \"" + path +
           "\" is a symbolic link. Encrypting it would delete only the link and leave the file it points to unencrypted; "
           "select that file instead. Nothing was changed.";
}
inline std::string PlainFileNotDeleted(const std::string& path, const std::string& reason) {
    return "The encrypted file was written, but the original file \"" + path + "\" could not be deleted (" + reason + ").";
}
inline std::string EncryptedFileNotDeleted(const std::string& path, const std::string& reason) {
    return "The file was decrypted, but the encrypted file \"" + path + "\" could not be deleted (" + reason + ").";
}

}  // namespace tessarel::expected_messages
