#pragma once
// Every text the file encryption tool shows. The fixed texts are the program's own and must stay
// byte for byte as they are (including their spelling and spacing); the functions word the refusals
// that protect files the user did not ask to change, naming the file concerned.

#include <string>
#include <string_view>

namespace tessarel::filecrypt_messages {

// Opening and checking the selected file.
inline constexpr std::string_view kCouldNotOpenFile = "Could not open file";
inline constexpr std::string_view kFileOpenError = "File open error";
inline constexpr std::string_view kAccessDenied = "The file could not be accessed.!";
inline constexpr std::string_view kTooManyOpenFiles = "The permitted number of open files was exceeded.";
inline constexpr std::string_view kUnspecifiedError = "An unspecified error occurred.";
inline constexpr std::string_view kSharingViolation = "File sharing violation";
inline constexpr std::string_view kSelectedFileEmpty = "File is empty, can not encrypt";

// Encrypting.
inline constexpr std::string_view kFileEmptyCannotEncrypt = "File is empty, cannot encrypt.";
inline constexpr std::string_view kUnableToAllocate = "Unable to Allocate memory";
inline constexpr std::string_view kCanNotAllocate = "Can not Allocate memory";
inline constexpr std::string_view kReadBytesError = "Read bytes in memory Error";
inline constexpr std::string_view kNotAllBytesRead = "Not all bytes read!";
inline constexpr std::string_view kWriteEncryptedFileError = "WriteEncryptedFileToDisk() Error";

// Decrypting.
inline constexpr std::string_view kFileEmptyCanNotDecrypt = "File is empty, can not decrypt";
inline constexpr std::string_view kReadBytesInMemoryError = "ReadBytesInMemory() Error";
inline constexpr std::string_view kBytesNotReadCorrectly = "Bytes not read correctly";
inline constexpr std::string_view kWrongPassword = "Password not correct,try again!";
inline constexpr std::string_view kWriteBytesToDiskError = "WriteBytesToDisk() Error";

// The password rules.
inline constexpr std::string_view kPasswordMismatch = "Password not correct, please try again!";
inline constexpr std::string_view kPasswordTooShort = "Password to short, please use more characters!";
inline constexpr std::string_view kChangePassword = "Change File Encryption Password?";

// Refusals that keep every file as it was. `path` is the file system's name (UTF-8 here); the
// texts are Windows-1252 like every other message.
std::string EncryptedNameExists(const std::string& path);
std::string RestoredNameExists(const std::string& path);
std::string NameTooShort(const std::string& path);
std::string TooShortToDecrypt(const std::string& path);
std::string InvalidStoredName(const std::string& path);
std::string FileChangedWhileReading(const std::string& path);
std::string SymbolicLinkNotEncrypted(const std::string& path);
// The new file is complete but the old one could not be deleted: both stay on disk.
std::string PlainFileNotDeleted(const std::string& path, const std::string& reason);
std::string EncryptedFileNotDeleted(const std::string& path, const std::string& reason);

}  // namespace tessarel::filecrypt_messages
