#include "cli/arguments.hpp"

#include <algorithm>

namespace quill::cli {

std::optional<std::string> ParsedArguments::value(const std::string& name) const {
    const auto found = values_.find(name);
    if (found == values_.end() || found->second.empty()) return std::nullopt;
    return found->second.back();
}

std::vector<std::string> ParsedArguments::values(const std::string& name) const {
    const auto found = values_.find(name);
    return found == values_.end() ? std::vector<std::string>{} : found->second;
}

ParsedArguments parseArguments(const std::vector<std::string>& args, const std::vector<OptionSpec>& options) {
    ParsedArguments parsed;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            parsed.operands_.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        const std::size_t equals = arg.find('=');
        const std::string name = arg.substr(0, equals);
        const auto known = std::find_if(options.begin(), options.end(), [&](const OptionSpec& o) { return o.name == name; });
        if (known == options.end()) throw UsageError("Unbekannte Option: " + name);
        std::vector<std::string>& slot = parsed.values_[name];
        if (!known->repeatable && !slot.empty()) throw UsageError("Die Option " + name + " ist mehrfach angegeben.");
        if (!known->takesValue) {
            if (equals != std::string::npos) throw UsageError("Die Option " + name + " nimmt keinen Wert.");
            slot.emplace_back();
            continue;
        }
        if (equals != std::string::npos) {
            slot.push_back(arg.substr(equals + 1));
        } else {
            if (i + 1 >= args.size()) throw UsageError("Die Option " + name + " braucht einen Wert.");
            slot.push_back(args[++i]);
        }
    }
    return parsed;
}

}  // namespace quill::cli
