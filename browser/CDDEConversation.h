#pragma once
// One open conversation of the program: one it opened to run a verb on the browser, or one a
// browser opened with one of the program's server names.

#include "browser/IpcHandler.h"

namespace tessarel::browser {

class CDDEConversation {
public:
    explicit CDDEConversation(ConversationHandle conversation) : handle(conversation) {}

    ConversationHandle Handle() const { return handle; }

private:
    ConversationHandle handle;
};

}  // namespace tessarel::browser
