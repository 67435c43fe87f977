#include "browser/PeerCredentials.h"

#if defined(__linux__)
#include <sys/socket.h>
#include <sys/types.h>
#include <unistd.h>
#elif defined(__unix__) || defined(__APPLE__)
#include <sys/types.h>
#include <unistd.h>
#endif

namespace tessarel::browser {

std::optional<std::uint32_t> PeerUserId(qintptr socketDescriptor) {
    if (socketDescriptor < 0) return std::nullopt;
#if defined(__linux__)
    ucred credentials{};
    socklen_t size = sizeof credentials;
    if (::getsockopt(static_cast<int>(socketDescriptor), SOL_SOCKET, SO_PEERCRED, &credentials, &size) != 0 ||
        size != sizeof credentials)
        return std::nullopt;
    return static_cast<std::uint32_t>(credentials.uid);
#elif defined(__unix__) || defined(__APPLE__)
    uid_t user = 0;
    gid_t group = 0;
    if (::getpeereid(static_cast<int>(socketDescriptor), &user, &group) != 0) return std::nullopt;
    return static_cast<std::uint32_t>(user);
#else
    // No way to ask on this platform: the caller refuses the peer.
    return std::nullopt;
#endif
}

std::uint32_t OwnUserId() {
#if defined(__unix__) || defined(__APPLE__)
    return static_cast<std::uint32_t>(::geteuid());
#else
    return 0;
#endif
}

bool PeerAllowed(std::optional<std::uint32_t> peerUserId, std::uint32_t ownUserId) {
    return peerUserId.has_value() && *peerUserId == ownUserId;
}

}  // namespace tessarel::browser
