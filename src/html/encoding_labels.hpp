#pragma once

#include <string_view>

namespace quill {

// An encoding as browsers know it: its name, and the name glibc's iconv
// reads it by (empty where iconv cannot read it as a page here: the UTF-16
// forms, ISO-2022-JP with its shift states, "replacement" and
// x-user-defined).
struct KnownEncoding {
    std::string_view label;
    std::string_view name;
    std::string_view iconvName;
};

// The encoding a label names (letter case and surrounding blanks ignored),
// or nullptr for a label browsers do not know.
const KnownEncoding* encodingForLabel(std::string_view label);

}  // namespace quill
