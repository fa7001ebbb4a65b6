#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

#include "html/char_reference.hpp"
#include "html/page_decoder.hpp"

namespace quill {

// Where a piece of HTML stands: a legacy named reference without ";" that is
// followed by "=" or a letter or digit is no reference inside an attribute
// value ("?a=1&copy=2" keeps "&copy"), but is one in text.
enum class HtmlPlace { Text, AttributeValue };

// A character reference or named entity as a browser reads it.
struct ReadReference {
    std::size_t length;  // from "&" through the optional ";"
    char32_t first;
    char32_t second;  // 0 unless the name stands for two characters
};

// The reference that text, beginning with "&", starts, if any.
std::optional<ReadReference> referenceAt(std::string_view text, HtmlPlace place);

// Appends a piece of HTML without markup (a text or an attribute value) as
// references, one per character a browser reads there: existing references
// and entities count as their characters, so the piece reads as before. Raw
// bytes are taken in the page's encoding (PageDecoder).
void appendAsReferences(ReferenceWriter& out, std::string_view html, const PageDecoder& decoder, HtmlPlace place);

}  // namespace quill
