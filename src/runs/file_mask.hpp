#pragma once

#include <string_view>

namespace quill {

// Whether a file name (UTF-8) matches a mask: the mask covers the whole name,
// letter case ignored, "*" any run of characters, "?" one character. "*.*"
// matches every name, one without a dot too. A mask of "*." and exactly three
// ordinary characters also matches a longer extension that begins with them
// ("*.htm" finds "x.html"; "*.html" does not find "x.htm").
bool maskMatches(std::string_view name, std::string_view mask);

// The plain rule without the extension rule: the mask covers the whole name,
// letter case ignored, "*" any run of characters, "?" one character (UTF-8).
bool wildcardMatches(std::string_view name, std::string_view mask);

// Orders names with letter case ignored (bytes decide between equal ones).
bool nameLessIgnoringCase(std::string_view a, std::string_view b);

}  // namespace quill
