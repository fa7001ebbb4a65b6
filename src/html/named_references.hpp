#pragma once

#include <cstddef>
#include <string_view>

namespace quill {

// One named character reference of HTML: its name after "&" ("amp;", or the
// legacy "amp" without ";") and the one or two characters it stands for
// (second is 0 for one).
struct NamedReference {
    std::string_view name;
    char32_t first;
    char32_t second;
};

extern const NamedReference kNamedReferences[];
extern const std::size_t kNamedReferenceCount;

// The longest name that text begins with, as a browser matches it, or nullptr.
const NamedReference* longestNamedReferenceAt(std::string_view text);

}  // namespace quill
