#pragma once
// The names the conversation layer shows for the error codes of the DDE management library.

#include <cstdint>
#include <string>

namespace tessarel::browser {

// The name shown for a code, "Uknown Error" for a code outside the table.
std::string DdeErrorName(std::uint32_t code);

}  // namespace tessarel::browser
