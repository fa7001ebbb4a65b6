#pragma once

#include <string>
#include <string_view>

namespace quill {

// A reference is "&#" and a decimal code, written without the closing ";".
inline constexpr std::string_view kReferenceStart = "&#";
// "mailto:" and "?subject=" as references.
inline constexpr std::string_view kEncodedMailto = "&#109&#97&#105&#108&#116&#111&#58";
inline constexpr std::string_view kEncodedSubjectPrefix = "&#63&#115&#117&#98&#106&#101&#99&#116&#61";

// "&#" followed by the code in decimal.
std::string referenceFor(unsigned long code);

// Every byte becomes the reference of its value: "ab" gives "&#97&#98".
std::string fullEncoding(std::string_view cp1252Text);

// For typed text: a character that code page 1252 holds is encoded by its
// 1252 value (same result as fullEncoding of the 1252 text); any other one by
// its Unicode code point, which is how browsers read numeric references.
std::string fullEncodingOfCharacters(std::u32string_view text);

// The encoding of one found link text: double quote and ">" stay, "&" ends
// the result (nothing from it on is kept), every other byte becomes a reference.
std::string linkEncoding(std::string_view foundText);

}  // namespace quill
