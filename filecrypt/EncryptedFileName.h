#pragma once
// The name of an encrypted file is the plain file's path with its last three characters replaced by
// "~~~"; those three characters travel in the file's trailer and are put back on decryption.
// Whatever stands there is replaced (page.html becomes page.h~~~), but never across a folder
// separator: a name shorter than three characters, or stored characters holding a separator or a
// zero byte, would otherwise put the result in another folder.

#include <array>
#include <optional>
#include <string>

namespace tessarel {

using NameTail = std::array<char, 3>;

class CEncryptedFileName {
public:
    static constexpr char kMarker[] = "~~~";

    // Both the separator of this system and that of the one the format comes from.
    static bool IsSeparator(char c) { return c == '/' || c == '\\'; }

    // True when the last three characters of `path` lie within its final name.
    static bool HasRoomForTail(const std::string& path);

    // The last three characters of the path (requires HasRoomForTail).
    static NameTail TailOf(const std::string& path);

    // The encrypted file's path, or nullopt when the name is too short.
    static std::optional<std::string> EncryptedPath(const std::string& plainPath);

    // A stored tail is usable when it holds neither a separator nor a zero byte.
    static bool IsUsableTail(const NameTail& tail);

    // The restored path, or nullopt when the name is too short or the tail unusable.
    static std::optional<std::string> RestoredPath(const std::string& encryptedPath, const NameTail& tail);
};

}  // namespace tessarel
