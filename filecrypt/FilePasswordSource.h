#pragma once
// Where SetFilePassword gets the two typed entries from: the password dialog in the program, the
// terminal in tessarel-cli, a script in the tests. Each call is one showing of the dialog.

#include <optional>

#include "core/SecureBuffer.h"

namespace tessarel {

struct FilePasswordEntries {
    SecureString first;   // "Enter your password (key) below:"
    SecureString second;  // "Enter your password (key) again:"
};

class CFilePasswordSource {
public:
    virtual ~CFilePasswordSource() = default;
    // `initial` fills both entries when shown (the current password, or empty). nullopt: Cancel.
    virtual std::optional<FilePasswordEntries> AskFilePassword(const SecureString& initial) = 0;
};

}  // namespace tessarel
