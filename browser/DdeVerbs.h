#pragma once
// The "WWW_" verbs of the browsers' DDE interface. The index is how the program names a verb;
// the text is the topic of the conversation that carries it.

#include <array>
#include <string>
#include <string_view>

namespace tessarel::browser {

enum DdeVerb : int {
    WWW_Activate = 0,
    WWW_Alert,
    WWW_BeginProgress,
    WWW_CancelProgress,
    WWW_EndProgress,
    WWW_Exit,
    WWW_GetWindowInfo,
    WWW_ListWindows,
    WWW_MakingProgress,
    WWW_OpenURL,
    WWW_ParseAnchor,
    WWW_QueryURLFile,
    WWW_QueryViewer,
    WWW_RegisterProtocol,
    WWW_RegisterURLEcho,
    WWW_RegisterViewer,
    WWW_RegisterWindowChange,
    WWW_SetProgressRange,
    WWW_ShowFile,
    WWW_UnRegisterProtocol,
    WWW_UnRegisterURLEcho,
    WWW_UnRegisterViewer,
    WWW_UnRegisterWindowChange,
    WWW_URLEcho,
    WWW_Version,
    WWW_ViewDocFile,
    WWW_WindowChange,
};

struct DdeVerbEntry {
    std::string_view text;
    int resourceId;
};

inline constexpr int DdeVerbCount = 27;
extern const std::array<DdeVerbEntry, DdeVerbCount> DdeVerbTable;

// The topic text of a verb; empty for an index outside the table.
std::string_view DdeVerbText(int index);
// The index of a topic, -1 when it is not in the table. Like every name of the conversation
// layer, topics compare without regard to (ASCII) case.
int DdeVerbIndex(std::string_view topic);

}  // namespace tessarel::browser
