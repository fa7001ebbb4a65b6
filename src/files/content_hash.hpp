#pragma once

#include <string>
#include <string_view>

namespace quill {

// SHA-256 of bytes, as 64 lower-case hex digits: how a run records what it
// wrote, so a later undo can tell whether a file still holds it.
std::string sha256Hex(std::string_view bytes);

}  // namespace quill
