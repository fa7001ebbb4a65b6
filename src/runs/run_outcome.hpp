#pragma once

#include <string>

namespace quill {

enum class OutcomeKind { Information, Error };

// A message a run ends with (text in UTF-8) and the kind of box it needs.
struct RunOutcome {
    OutcomeKind kind;
    std::string text;
    // The whole list when the text shows only its start (UTF-8, a line each).
    std::string fullList{};
};

}  // namespace quill
