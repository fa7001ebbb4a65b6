#pragma once

#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace quill::cli {

// Wrong use of the command line: the text says what is wrong (UTF-8).
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct OptionSpec {
    std::string name;  // with its dashes, e.g. "--mask"
    bool takesValue = false;
    bool repeatable = false;
};

// Options and operands of one command. "--name=value" and "--name value" are
// both accepted; "--" ends the options; a lone "-" is an operand.
class ParsedArguments {
public:
    bool has(const std::string& name) const { return values_.count(name) != 0; }
    std::optional<std::string> value(const std::string& name) const;
    std::vector<std::string> values(const std::string& name) const;
    const std::vector<std::string>& operands() const { return operands_; }

private:
    friend ParsedArguments parseArguments(const std::vector<std::string>&, const std::vector<OptionSpec>&);
    std::map<std::string, std::vector<std::string>> values_;
    std::vector<std::string> operands_;
};

// Raises UsageError for an unknown option, a missing value, a value given to
// a flag, or a single option given twice.
ParsedArguments parseArguments(const std::vector<std::string>& args, const std::vector<OptionSpec>& options);

}  // namespace quill::cli
