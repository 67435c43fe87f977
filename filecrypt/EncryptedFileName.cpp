#include "EncryptedFileName.h"

namespace tessarel {

bool CEncryptedFileName::HasRoomForTail(const std::string& path) {
    if (path.size() < 3) return false;
    for (std::size_t i = path.size() - 3; i < path.size(); ++i) {
        if (IsSeparator(path[i])) return false;
    }
    return true;
}

NameTail CEncryptedFileName::TailOf(const std::string& path) {
    const std::size_t at = path.size() - 3;
    return {path[at], path[at + 1], path[at + 2]};
}

std::optional<std::string> CEncryptedFileName::EncryptedPath(const std::string& plainPath) {
    if (!HasRoomForTail(plainPath)) return std::nullopt;
    return plainPath.substr(0, plainPath.size() - 3) + kMarker;
}

bool CEncryptedFileName::IsUsableTail(const NameTail& tail) {
    for (const char c : tail) {
        if (c == '\0' || IsSeparator(c)) return false;
    }
    return true;
}

std::optional<std::string> CEncryptedFileName::RestoredPath(const std::string& encryptedPath, const NameTail& tail) {
    if (!HasRoomForTail(encryptedPath) || !IsUsableTail(tail)) return std::nullopt;
    return encryptedPath.substr(0, encryptedPath.size() - 3) + std::string(tail.data(), tail.size());
}

}  // namespace tessarel
