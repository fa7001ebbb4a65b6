#include "cli/arguments.hpp"

#include <algorithm>
#include <iterator>
#include <utility>

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

namespace {

// The letters that stand for the most used flags; "-rn" is "-r -n".
constexpr std::pair<char, const char*> kShortFlags[] = {
    {'r', "--recursive"}, {'n', "--dry-run"}, {'a', "--all"}, {'h', "--help"}};

std::size_t editDistance(const std::string& a, const std::string& b) {
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

// "Unbekannte Option: --recusive. Meinten Sie --recursive?" when one option
// of the command is near enough to be the one meant.
std::string unknownOption(const std::string& name, const std::vector<OptionSpec>& options) {
    const OptionSpec* closest = nullptr;
    std::size_t best = 0;
    for (const OptionSpec& option : options) {
        const std::size_t distance = editDistance(name, option.name);
        if (closest == nullptr || distance < best) closest = &option, best = distance;
    }
    const bool near = closest != nullptr && name.rfind("--", 0) == 0 && (best <= 2 || best * 3 <= closest->name.size());
    if (!near) return "Unbekannte Option: " + name;
    return "Unbekannte Option: " + name + ". Meinten Sie " + closest->name + "?";
}

// "-rn" as the long flags it stands for; an unknown letter, or one the
// command does not take, is refused as written.
std::vector<std::string> longFlags(const std::string& arg, const std::vector<OptionSpec>& options) {
    std::vector<std::string> names;
    for (std::size_t i = 1; i < arg.size(); ++i) {
        const auto flag = std::find_if(std::begin(kShortFlags), std::end(kShortFlags),
                                       [&](const auto& entry) { return entry.first == arg[i]; });
        const bool taken = flag != std::end(kShortFlags) &&
                           std::any_of(options.begin(), options.end(),
                                       [&](const OptionSpec& o) { return o.name == flag->second && !o.takesValue; });
        if (!taken) throw UsageError("Unbekannte Option: -" + std::string(1, arg[i]));
        names.emplace_back(flag->second);
    }
    return names;
}

}  // namespace

ParsedArguments parseArguments(const std::vector<std::string>& givenArgs, const std::vector<OptionSpec>& options) {
    std::vector<std::string> args = givenArgs;
    ParsedArguments parsed;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (optionsEnded || args[i].size() < 2 || args[i][0] != '-') {
            parsed.operands_.push_back(args[i]);
            continue;
        }
        if (args[i] == "--") {
            optionsEnded = true;
            continue;
        }
        if (args[i][1] != '-') {
            // Short flags stand in for their long names, read in their place.
            const std::vector<std::string> names = longFlags(args[i], options);
            args.erase(args.begin() + static_cast<std::ptrdiff_t>(i));
            args.insert(args.begin() + static_cast<std::ptrdiff_t>(i), names.begin(), names.end());
        }
        const std::string& arg = args[i];
        const std::size_t equals = arg.find('=');
        const std::string name = arg.substr(0, equals);
        const auto known =
            std::find_if(options.begin(), options.end(), [&](const OptionSpec& o) { return o.name == name; });
        if (known == options.end()) throw UsageError(unknownOption(name, options));
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
