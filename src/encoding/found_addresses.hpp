#pragma once

#include <string>
#include <unordered_set>

#include "text/string_list.hpp"

namespace quill {

// The found-addresses list: texts in the order of their first delivery, no
// two equal byte for byte. The set beside the list keeps the duplicate test
// exact without making a run quadratic in the number of found texts.
class FoundAddresses {
public:
    bool contains(const std::string& text) const { return index_.count(text) != 0; }
    // Appends the text unless it is already there; true when appended.
    bool add(const std::string& text);
    void clear();

    const StringList& items() const { return items_; }
    std::size_t size() const { return items_.size(); }
    bool empty() const { return items_.empty(); }

private:
    StringList items_;
    std::unordered_set<std::string> index_;
};

// True if an entry equals the text exactly (same length, same bytes).
bool Adresse_vorhanden(const std::string& text, const FoundAddresses& list);

}  // namespace quill
