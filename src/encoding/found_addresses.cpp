#include "encoding/found_addresses.hpp"

namespace quill {

bool FoundAddresses::add(const std::string& text) {
    if (!index_.insert(text).second) return false;
    try {
        items_.push_back(text);
    } catch (...) {
        index_.erase(text);
        throw;
    }
    return true;
}

void FoundAddresses::clear() {
    items_.clear();
    index_.clear();
}

bool Adresse_vorhanden(const std::string& text, const FoundAddresses& list) {
    return list.contains(text);
}

}  // namespace quill
