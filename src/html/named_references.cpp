#include "html/named_references.hpp"

#include <algorithm>

namespace quill {

namespace {

// No name in the table is longer.
constexpr std::size_t kLongestName = 32;

}  // namespace

const NamedReference* longestNamedReferenceAt(std::string_view text) {
    const NamedReference* begin = kNamedReferences;
    const NamedReference* end = kNamedReferences + kNamedReferenceCount;
    for (std::size_t length = std::min(text.size(), kLongestName); length > 0; --length) {
        const std::string_view candidate = text.substr(0, length);
        const auto hit =
            std::lower_bound(begin, end, candidate,
                             [](const NamedReference& entry, std::string_view name) { return entry.name < name; });
        if (hit != end && hit->name == candidate) return hit;
    }
    return nullptr;
}

}  // namespace quill
