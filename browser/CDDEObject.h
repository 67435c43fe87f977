#pragma once
// One endpoint of the program for talking to the chosen web browser: it runs "WWW_" verbs against
// the browser's service name and, under a server name of its own ("Quendal1", "Quendal2", ...
// counted through the run), answers what the browser reports back. Each browser command makes
// one and deletes it when it is done. Works through DdeInstance::Current(); without one every
// verb returns its empty result.

#include <cstdint>
#include <list>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "browser/CDDEConversation.h"
#include "browser/DdeArguments.h"

namespace tessarel::browser {

class CDDEObject {
public:
    static constexpr std::uint32_t LastActiveWindow = 4294967295u;

    explicit CDDEObject(std::string service);
    ~CDDEObject();
    CDDEObject(const CDDEObject&) = delete;
    CDDEObject& operator=(const CDDEObject&) = delete;

    // Opens a conversation with the browser on a verb's topic; null (and no message) when none.
    CDDEConversation* Connect(int verbIndex);
    // Whether a conversation on the verb could be opened; it is closed again at once.
    bool CanConnect(int verbIndex);

    std::uint32_t Activate(std::uint32_t windowId, std::uint32_t flags);
    struct WindowInfo {
        std::string address;
        std::string title;
    };
    WindowInfo GetWindowInfo(std::uint32_t windowId);
    // The address may carry a password (Automatic Access): every copy the request makes of it
    // is wiped once the request is done.
    std::uint32_t OpenURL(std::string_view address, const std::string& file, std::uint32_t windowId,
                          std::uint32_t flags, const std::string& formData, const std::string& mimeType,
                          const std::string& progressServer);

    const std::string& ServerName() const { return serverName; }
    // True once the person stopped waiting for the browser during one of this object's calls:
    // the browser hangs, so the object asks it nothing more (every verb returns its empty result).
    bool Abandoned() const { return abandoned; }
    const std::string& ServiceName() const { return serviceName; }

    // The server side, for the callback: the live object that owns a server name (case ignored),
    // and the conversations browsers open with it.
    static CDDEObject* FindByServerName(std::string_view name);
    static CDDEObject* FindByConversation(ConversationHandle handle);
    void AddConversation(ConversationHandle handle);
    void RemoveConversation(ConversationHandle handle);
    std::size_t ConversationCount() const { return conversations.size(); }

private:
    // Runs one verb request; nullopt when there was no conversation or no reply.
    std::optional<std::vector<DdeValue>> RunVerb(int verbIndex, std::string_view layout,
                                                 std::vector<DdeValue> arguments,
                                                 std::string_view replyLayout);
    void Disconnect(CDDEConversation* conversation);

    std::string serviceName;
    std::string serverName;
    std::list<std::unique_ptr<CDDEConversation>> conversations;
    bool abandoned = false;
};

}  // namespace tessarel::browser
