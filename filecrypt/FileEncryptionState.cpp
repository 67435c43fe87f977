#include "FileEncryptionState.h"

namespace tessarel {

CFileEncryptionState::~CFileEncryptionState() { ForgetPassword(); }

void CFileEncryptionState::ForgetPassword() {
    filePassword.Wipe();
    filePasswordSet = false;
}

void CFileEncryptionState::Reset() {
    ForgetPassword();
    selectedFilePath.clear();
    selectedIsPlain = false;
    selectedIsEncrypted = false;
    showEncryptedOnly = false;
    fileViewActive = false;
}

}  // namespace tessarel
