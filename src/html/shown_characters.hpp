#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "html/page_decoder.hpp"

namespace quill {

// One character as a browser shows it, with the bytes of the page it came
// from: a literal character, or a whole character reference.
struct ShownCharacter {
    char32_t code;
    std::size_t begin;  // byte offset in the page
    std::size_t end;    // just past its bytes
    bool reference;     // written as a character reference
};

// Where the bytes stand decides how a browser reads "&": in text, in an
// attribute value (where a legacy name without ";" before "=" or a letter or
// digit stays literal), or in script and style, where nothing is decoded.
enum class ReferenceContext { Text, Attribute, None };

// The characters of page[begin, end). Literal bytes are read in the page's
// encoding; a byte that forms no character shows as U+FFFD.
std::vector<ShownCharacter> shownCharacters(std::string_view page, std::size_t begin, std::size_t end,
                                            const PageDecoder& decoder, ReferenceContext context);

}  // namespace quill
