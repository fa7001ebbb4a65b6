#pragma once

#include <string>
#include <string_view>

#include "text/string_list.hpp"

namespace quill {

// Replaces the list's content by the pieces of text between the exact,
// case-sensitive occurrences of delimiter: n occurrences give n + 1 pieces,
// empty ones included. An empty delimiter gives the whole text as one piece.
void SplitAtDelimiter(std::string_view text, std::string_view delimiter, StringList& pieces);

// Drops every CR LF pair (left to right, the result is not searched again).
std::string removeCrLfPairs(std::string_view text);

// What a memo makes of a text: a lone CR or a lone LF becomes CR LF.
std::string withMemoLineBreaks(std::string_view text);

// Decodes joined references: the text before the first "&#" is ignored, a
// piece "|" ends the decoding, every other piece, less one final ";", must be
// an integer (else ConvertError "'%s' ist kein gültiger Integerwert" naming
// the whole piece). A code up to 255 gives the 1252 character of that byte,
// a negative one that of its low 8 bits, a higher one its Unicode character
// (U+FFFD where Unicode has none).
std::u32string decodeReferences(std::string_view text);

}  // namespace quill
