#pragma once

#include <cstdlib>
#include <optional>
#include <string>

#include "support/temp_folder.hpp"

namespace quill::test {

// Points the program's private state folder into a fresh temporary folder for
// the life of the scope, and back afterwards.
class StateHomeScope {
public:
    StateHomeScope() {
        if (const char* old = std::getenv("XDG_STATE_HOME")) previous_ = old;
        ::setenv("XDG_STATE_HOME", home_.path().c_str(), 1);
    }
    ~StateHomeScope() {
        if (previous_)
            ::setenv("XDG_STATE_HOME", previous_->c_str(), 1);
        else
            ::unsetenv("XDG_STATE_HOME");
    }
    StateHomeScope(const StateHomeScope&) = delete;
    StateHomeScope& operator=(const StateHomeScope&) = delete;

    // The program's own folder inside it.
    std::string folder() const { return home_.file("Quillmaskerade"); }

private:
    TempFolder home_;
    std::optional<std::string> previous_;
};

}  // namespace quill::test
