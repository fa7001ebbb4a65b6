#pragma once

#include <string>

namespace quill {

// The operating system's text for an errno value, in German for the common
// file errors, without a final point (the error box adds it).
std::string systemErrorText(int errorNumber);

}  // namespace quill
