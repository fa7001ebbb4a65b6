#pragma once

#include <cstdlib>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace quill::test {

// Sets (or, with nothing, removes) environment variables for the life of the
// scope and puts back what was there however the scope ends.
class EnvironmentScope {
public:
    EnvironmentScope(std::initializer_list<std::pair<std::string, std::optional<std::string>>> values) {
        for (const auto& [name, value] : values) {
            const char* before = std::getenv(name.c_str());
            saved_.emplace_back(name, before ? std::optional<std::string>(before) : std::nullopt);
            set(name, value);
        }
    }
    ~EnvironmentScope() {
        for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) set(it->first, it->second);
    }
    EnvironmentScope(const EnvironmentScope&) = delete;
    EnvironmentScope& operator=(const EnvironmentScope&) = delete;

private:
    static void set(const std::string& name, const std::optional<std::string>& value) {
        if (value)
            ::setenv(name.c_str(), value->c_str(), 1);
        else
            ::unsetenv(name.c_str());
    }
    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

}  // namespace quill::test
