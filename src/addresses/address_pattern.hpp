#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

namespace quill {

// Where an address stands in a text: characters [first, end).
struct AddressSpan {
    std::size_t first;
    std::size_t end;
};

// The e-mail addresses in a text, left to right, by a practical pattern: a
// local part of letters, digits and ". _ % + -", "@", and a domain of at least
// two labels whose last one is a top-level name (two or more letters, or
// "xn--" and more). Names of common file types ("logo@2x.png") are no domain.
std::vector<AddressSpan> findAddresses(std::u32string_view text);

}  // namespace quill
