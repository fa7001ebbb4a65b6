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

// True when text begins with a decimal digit, which a browser would read as
// part of a reference written right before it.
bool beginsWithDigit(std::string_view text);

// Builds a text of references and plain pieces. A reference stays without
// ";" unless a decimal digit follows it, which would otherwise be read as
// part of its code ("&#61" + "2026" is not "=2026").
class ReferenceWriter {
public:
    void reference(unsigned long code);
    void plain(std::string_view text);
    const std::string& text() const { return text_; }
    std::string take() { return std::move(text_); }

private:
    std::string text_;
    bool endsInReference_ = false;
};

// Every byte becomes the reference of its value: "ab" gives "&#97&#98".
std::string fullEncoding(std::string_view cp1252Text);

// For typed text: a character that code page 1252 holds is encoded by its
// 1252 value (same result as fullEncoding of the 1252 text); any other one by
// its Unicode code point, which is how browsers read numeric references.
std::string fullEncodingOfCharacters(std::u32string_view text);

// The reference code for a character in a code page 1252 page: its 1252
// value when 1252 holds it, otherwise its code point.
unsigned long cp1252ReferenceCode(char32_t character);

}  // namespace quill
