#pragma once
// What the file encryption tool remembers while the program runs: the file password and the file
// chosen in the file list. The main frame owns one of these; nothing of it is ever written to disk.

#include <string>

#include "core/SecureBuffer.h"

namespace tessarel {

class CFileEncryptionState {
public:
    CFileEncryptionState() = default;
    ~CFileEncryptionState();
    CFileEncryptionState(const CFileEncryptionState&) = delete;
    CFileEncryptionState& operator=(const CFileEncryptionState&) = delete;

    // Back to the state of a newly created frame: no password, nothing selected, all files shown.
    void Reset();

    // Wipes the password's characters (a short one lives inside the string object itself, where
    // the wiping allocator never sees it) and leaves it empty and unset.
    void ForgetPassword();

    // The enabling rules of the file tool's commands.
    bool CanEncrypt() const { return filePasswordSet && selectedIsPlain; }
    bool CanDecrypt() const { return filePasswordSet && selectedIsEncrypted; }
    bool CanClearPassword() const { return !filePassword.empty(); }

    SecureString filePassword;       // the file-encryption password; empty until set
    bool filePasswordSet = false;    // true while filePassword is non-empty
    std::string selectedFilePath;    // file chosen in the file list; empty for a folder or nothing
    bool selectedIsPlain = false;    // the selected file can be encrypted
    bool selectedIsEncrypted = false;
    bool showEncryptedOnly = false;  // filter of the file list
    bool fileViewActive = false;     // the file encryption view is the current mode
};

}  // namespace tessarel
