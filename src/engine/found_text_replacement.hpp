#pragma once

#include <string>
#include <string_view>

#include "html/char_reference.hpp"
#include "html/page_decoder.hpp"

namespace quill {

// What a run writes in place of one found text (address and query up to the
// closing double quote, the rest of the tag, the visible text) in a page of
// the given encoding:
// - the address part and the visible text become references, one for each
//   character a browser reads there; existing references and entities count
//   as their characters and a lone "&" as "&#38", so the link leads and reads
//   exactly as before;
// - the tag's remainder, from that double quote through the ">" that ends the
//   tag, stays as it stands, so further attributes survive; without such a
//   ">" everything from the double quote on stays.
//   Every reference ends in ";" with ReferenceEnd::Always.
std::string replacementForFoundText(std::string_view foundText, const PageDecoder& decoder,
                                    ReferenceEnd end = ReferenceEnd::AsNeeded);
// The same for a UTF-8 or code page 1252 page.
std::string replacementForFoundText(std::string_view foundText, PageCharset charset,
                                    ReferenceEnd end = ReferenceEnd::AsNeeded);

}  // namespace quill
