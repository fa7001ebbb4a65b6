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

// How references are ended: without ";" unless what follows would continue
// or end them, or always with ";" (XML documents need it to stay well-formed).
enum class ReferenceEnd { AsNeeded, Always };

// True when text begins with a decimal digit, which a browser would read as
// part of a reference written right before it, or with ";", which it would
// take as that reference's end.
bool continuesReference(std::string_view text);

// True when text ends in "&#" and at least one decimal digit.
bool endsInReference(std::string_view text);

// "&#" and the code, with ";" when end is Always.
std::string referenceFor(unsigned long code, ReferenceEnd end);

// Builds a text of references and plain pieces. A reference stays without
// ";" unless a decimal digit or a ";" follows it ("&#61" + "2026" is not
// "=2026", and "&#97" + ";" would lose the ";"), or every reference ends in
// ";" (ReferenceEnd::Always).
class ReferenceWriter {
public:
    explicit ReferenceWriter(ReferenceEnd end = ReferenceEnd::AsNeeded) : end_(end) {}
    void reference(unsigned long code);
    void plain(std::string_view text);
    const std::string& text() const { return text_; }
    std::string take() { return std::move(text_); }

private:
    std::string text_;
    ReferenceEnd end_;
    bool endsInReference_ = false;
};

// Every byte becomes the reference of its value: "ab" gives "&#97&#98".
std::string fullEncoding(std::string_view cp1252Text, ReferenceEnd end = ReferenceEnd::AsNeeded);

// For typed text: a character that code page 1252 holds is encoded by its
// 1252 value (same result as fullEncoding of the 1252 text); any other one by
// its Unicode code point, which is how browsers read numeric references.
std::string fullEncodingOfCharacters(std::u32string_view text);

// The reference code for a character in a code page 1252 page: its 1252
// value when 1252 holds it, otherwise its code point.
unsigned long cp1252ReferenceCode(char32_t character);

}  // namespace quill
