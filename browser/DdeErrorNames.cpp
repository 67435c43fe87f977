#include "browser/DdeErrorNames.h"

#include <array>

namespace tessarel::browser {

std::string DdeErrorName(std::uint32_t code) {
    static constexpr std::uint32_t First = 0x4000;
    static constexpr std::array<const char*, 18> Names = {
        "ADVACKTIMEOUT",       "BUSY",           "DATAACKTIMEOUT",   "DLL_NOT_INITIALIZED",
        "DLL_USAGE",           "EXECACKTIMEOUT", "INVALIDPARAMETER", "LOW_MEMORY",
        "DMLERR_MEMORY_ERROR", "DMLERR_NOTPROCESSED", "NO_CONV_ESTABLISHED", "POKEACKTIMEOUT",
        "POSTMSG_FAILED",      "REENTRANCY",     "SERVER_DIED",      "SYS_ERROR",
        "UNADVACKTIMEOUT",     "UNFOUND_QUEUE_ID",
    };
    if (code < First || code - First >= Names.size()) return "Uknown Error";
    return Names[code - First];
}

}  // namespace tessarel::browser
