#include "browser/DdeVerbs.h"

namespace tessarel::browser {
namespace {

bool SameIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

}  // namespace

const std::array<DdeVerbEntry, DdeVerbCount> DdeVerbTable = {{
    {"WWW_Activate", 106},
    {"WWW_Alert", 107},
    {"WWW_BeginProgress", 108},
    {"WWW_CancelProgress", 109},
    {"WWW_EndProgress", 110},
    {"WWW_Exit", 111},
    {"WWW_GetWindowInfo", 147},
    {"WWW_ListWindows", 113},
    {"WWW_MakingProgress", 114},
    {"WWW_OpenURL", 115},
    {"WWW_ParseAnchor", 116},
    {"WWW_QueryURLFile", 122},
    {"WWW_QueryViewer", 117},
    {"WWW_RegisterProtocol", 118},
    {"WWW_RegisterURLEcho", 119},
    {"WWW_RegisterViewer", 120},
    {"WWW_RegisterWindowChange", 121},
    {"WWW_SetProgressRange", 123},
    {"WWW_ShowFile", 124},
    {"WWW_UnRegisterProtocol", 125},
    {"WWW_UnRegisterURLEcho", 126},
    {"WWW_UnRegisterViewer", 127},
    {"WWW_UnRegisterWindowChange", 131},
    {"WWW_URLEcho", 132},
    {"WWW_Version", 133},
    {"WWW_ViewDocFile", 134},
    {"WWW_WindowChange", 135},
}};

std::string_view DdeVerbText(int index) {
    if (index < 0 || index >= DdeVerbCount) return {};
    return DdeVerbTable[static_cast<std::size_t>(index)].text;
}

int DdeVerbIndex(std::string_view topic) {
    for (int index = 0; index < DdeVerbCount; ++index)
        if (SameIgnoringCase(DdeVerbTable[static_cast<std::size_t>(index)].text, topic)) return index;
    return -1;
}

}  // namespace tessarel::browser
