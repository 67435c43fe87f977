#include "CliArguments.h"

namespace tessarel::cli {

std::optional<CliArguments> CliArguments::Parse(const std::vector<std::string>& arguments, const std::set<std::string>& flags,
                                                const std::set<std::string>& valued) {
    CliArguments parsed;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (optionsEnded || argument.size() < 2 || argument.compare(0, 2, "--") != 0) {
            parsed.positional.push_back(argument);
            continue;
        }
        if (argument == "--") {
            optionsEnded = true;
            continue;
        }
        const auto equals = argument.find('=');
        const std::string name = argument.substr(0, equals);
        if (flags.count(name) != 0) {
            if (equals != std::string::npos) return std::nullopt;
            parsed.values[name] = "";
        } else if (valued.count(name) != 0) {
            if (equals != std::string::npos) {
                parsed.values[name] = argument.substr(equals + 1);
            } else if (i + 1 < arguments.size()) {
                parsed.values[name] = arguments[++i];
            } else {
                return std::nullopt;
            }
        } else {
            return std::nullopt;
        }
    }
    return parsed;
}

std::string CliArguments::Value(const std::string& option, const std::string& fallback) const {
    const auto found = values.find(option);
    return found == values.end() ? fallback : found->second;
}

}  // namespace tessarel::cli
