// Every text of the file encryption tool, the program's constant beside the text written out by
// hand: a changed letter, or two constants swapped, fails here even where no other test reaches
// the message.

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "filecrypt/ExpectedMessages.h"
#include "filecrypt/FileEncryptionMessages.h"

namespace tessarel::testing {
namespace {

namespace product = filecrypt_messages;
namespace expected = expected_messages;

TEST(MessageTexts, EveryTextIsTheProgramsOwn) {
    const std::string path = "/home/user/Bank Details.html";
    const std::string reason = "Permission denied";
    const struct {
        const char* name;
        std::string shown;
        std::string text;
    } cases[] = {
        {"CouldNotOpenFile", std::string(product::kCouldNotOpenFile), std::string(expected::kCouldNotOpenFile)},
        {"FileOpenError", std::string(product::kFileOpenError), std::string(expected::kFileOpenError)},
        {"AccessDenied", std::string(product::kAccessDenied), std::string(expected::kAccessDenied)},
        {"TooManyOpenFiles", std::string(product::kTooManyOpenFiles), std::string(expected::kTooManyOpenFiles)},
        {"UnspecifiedError", std::string(product::kUnspecifiedError), std::string(expected::kUnspecifiedError)},
        {"SharingViolation", std::string(product::kSharingViolation), std::string(expected::kSharingViolation)},
        {"SelectedFileEmpty", std::string(product::kSelectedFileEmpty), std::string(expected::kSelectedFileEmpty)},
        {"FileEmptyCannotEncrypt", std::string(product::kFileEmptyCannotEncrypt), std::string(expected::kFileEmptyCannotEncrypt)},
        {"UnableToAllocate", std::string(product::kUnableToAllocate), std::string(expected::kUnableToAllocate)},
        {"CanNotAllocate", std::string(product::kCanNotAllocate), std::string(expected::kCanNotAllocate)},
        {"ReadBytesError", std::string(product::kReadBytesError), std::string(expected::kReadBytesError)},
        {"NotAllBytesRead", std::string(product::kNotAllBytesRead), std::string(expected::kNotAllBytesRead)},
        {"WriteEncryptedFileError", std::string(product::kWriteEncryptedFileError), std::string(expected::kWriteEncryptedFileError)},
        {"FileEmptyCanNotDecrypt", std::string(product::kFileEmptyCanNotDecrypt), std::string(expected::kFileEmptyCanNotDecrypt)},
        {"ReadBytesInMemoryError", std::string(product::kReadBytesInMemoryError), std::string(expected::kReadBytesInMemoryError)},
        {"BytesNotReadCorrectly", std::string(product::kBytesNotReadCorrectly), std::string(expected::kBytesNotReadCorrectly)},
        {"WrongPassword", std::string(product::kWrongPassword), std::string(expected::kWrongPassword)},
        {"WriteBytesToDiskError", std::string(product::kWriteBytesToDiskError), std::string(expected::kWriteBytesToDiskError)},
        {"PasswordMismatch", std::string(product::kPasswordMismatch), std::string(expected::kPasswordMismatch)},
        {"PasswordTooShort", std::string(product::kPasswordTooShort), std::string(expected::kPasswordTooShort)},
        {"ChangePassword", std::string(product::kChangePassword), std::string(expected::kChangePassword)},
        {"EncryptedNameExists", product::EncryptedNameExists(path), expected::EncryptedNameExists(path)},
        {"RestoredNameExists", product::RestoredNameExists(path), expected::RestoredNameExists(path)},
        {"NameTooShort", product::NameTooShort(path), expected::NameTooShort(path)},
        {"TooShortToDecrypt", product::TooShortToDecrypt(path), expected::TooShortToDecrypt(path)},
        {"InvalidStoredName", product::InvalidStoredName(path), expected::InvalidStoredName(path)},
        {"FileChangedWhileReading", product::FileChangedWhileReading(path), expected::FileChangedWhileReading(path)},
        {"SymbolicLinkNotEncrypted", product::SymbolicLinkNotEncrypted(path), expected::SymbolicLinkNotEncrypted(path)},
        {"PlainFileNotDeleted", product::PlainFileNotDeleted(path, reason), expected::PlainFileNotDeleted(path, reason)},
        {"EncryptedFileNotDeleted", product::EncryptedFileNotDeleted(path, reason), expected::EncryptedFileNotDeleted(path, reason)},
    };
    for (const auto& c : cases) EXPECT_EQ(c.shown, c.text) << c.name;
}

}  // namespace
}  // namespace tessarel::testing
