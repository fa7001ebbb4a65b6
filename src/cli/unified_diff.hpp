#pragma once

#include <string>
#include <string_view>

namespace quill::cli {

// The change from before to after as a unified diff with `context` lines
// around each change, both sides labelled with label; empty when the bytes are
// equal. Lines end after each LF and keep their line ends. A change too large
// for a shortest edit within a bounded effort is shown as one block replaced.
std::string unifiedDiff(std::string_view label, std::string_view before, std::string_view after, int context = 3);

}  // namespace quill::cli
