#pragma once
// The platform's answer to "which user is at the other end of this local socket". Kept apart so
// the rest of the IPC stays portable and the decision can be tested with made-up user ids.

#include <QtGlobal>
#include <cstdint>
#include <optional>

namespace tessarel::browser {

// The user id of the process at the other end of a connected local socket, or nullopt when the
// platform cannot tell.
std::optional<std::uint32_t> PeerUserId(qintptr socketDescriptor);

// The user id this process runs as.
std::uint32_t OwnUserId();

// Only a peer known to run as the same user is let in; an unknown peer is refused.
bool PeerAllowed(std::optional<std::uint32_t> peerUserId, std::uint32_t ownUserId);

}  // namespace tessarel::browser
