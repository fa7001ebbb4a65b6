#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

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

// The characters of page[begin, end). Literal bytes are read as UTF-8 when
// utf8 is set (a malformed byte shows as U+FFFD), else as code page 1252.
std::vector<ShownCharacter> shownCharacters(std::string_view page, std::size_t begin, std::size_t end, bool utf8,
                                            ReferenceContext context);

}  // namespace quill
