#include "FileEncryptionMessages.h"

#include "core/Win1252.h"

namespace tessarel::filecrypt_messages {
namespace {

// File names arrive as UTF-8; messages are Windows-1252. A character the set cannot hold is shown
// as '?' rather than as garbled bytes.
std::string Quoted(const std::string& path) {
    if (auto text = Utf8ToWin1252(path)) return "\"" + *text + "\"";
    std::string shown;
    for (const unsigned char c : path) shown.push_back(c < 0x80 ? static_cast<char>(c) : '?');
    return "\"" + shown + "\"";
}

}  // namespace

std::string EncryptedNameExists(const std::string& path) {
    return "The file " + Quoted(path) + " already exists. The file was not encrypted, so that it is not overwritten.";
}

std::string RestoredNameExists(const std::string& path) {
    return "The file " + Quoted(path) + " already exists. The file was not decrypted, so that it is not overwritten.";
}

std::string NameTooShort(const std::string& path) {
    return "The name of " + Quoted(path) + " is too short: it needs at least three characters. Nothing was changed.";
}

std::string TooShortToDecrypt(const std::string& path) {
    return "The file " + Quoted(path) + " is too short to be an encrypted file. Nothing was changed.";
}

std::string InvalidStoredName(const std::string& path) {
    return "The file " + Quoted(path) + " holds an invalid original name and is not a usable encrypted file. Nothing was changed.";
}

std::string FileChangedWhileReading(const std::string& path) {
    return "The file " + Quoted(path) + " grew while it was being encrypted. It was left as it was.";
}

std::string SymbolicLinkNotEncrypted(const std::string& path) {
    return "The file " + Quoted(path) + " is a symbolic link. Encrypting it would delete only the link and leave the file it points to "
           "unencrypted; select that file instead. Nothing was changed.";
}

std::string PlainFileNotDeleted(const std::string& path, const std::string& reason) {
    return "The encrypted file was written, but the original file " + Quoted(path) + " could not be deleted (" + reason + ").";
}

std::string EncryptedFileNotDeleted(const std::string& path, const std::string& reason) {
    return "The file was decrypted, but the encrypted file " + Quoted(path) + " could not be deleted (" + reason + ").";
}

}  // namespace tessarel::filecrypt_messages
