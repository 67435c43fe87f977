#pragma once
// Splits a command's arguments into positional ones and --options, so each command states only
// which options it takes. "--name value" and "--name=value" are the same; "--" ends the options.

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace tessarel::cli {

class CliArguments {
public:
    // nullopt when an option is unknown, a valued option lacks its value, or a flag has one.
    static std::optional<CliArguments> Parse(const std::vector<std::string>& arguments, const std::set<std::string>& flags,
                                             const std::set<std::string>& valued);

    const std::vector<std::string>& Positional() const { return positional; }
    bool Has(const std::string& flag) const { return values.count(flag) != 0; }
    std::string Value(const std::string& option, const std::string& fallback) const;

private:
    std::vector<std::string> positional;
    std::map<std::string, std::string> values;
};

}  // namespace tessarel::cli
