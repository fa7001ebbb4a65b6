#include "html/html_characters.hpp"

#include "html/named_references.hpp"
#include "text/cp1252.hpp"
#include "text/hex_text.hpp"

namespace quill {

namespace {

constexpr char32_t kReplacementCharacter = 0xFFFD;

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
bool isAlphanumeric(char c) {
    return isDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// What a browser makes of a numeric reference's value: 128-159 are read as
// the 1252 characters, nothing else outside Unicode's scalar values stands.
char32_t numericCharacter(unsigned long value) {
    if (value == 0 || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return kReplacementCharacter;
    if (value >= 0x80 && value <= 0x9F) return cp1252ToUnicode(static_cast<unsigned char>(value));
    return static_cast<char32_t>(value);
}

std::optional<ReadReference> numericReferenceAt(std::string_view text) {
    std::size_t at = 2;
    const bool hex = at < text.size() && (text[at] == 'x' || text[at] == 'X');
    if (hex) ++at;
    const std::size_t digitsFrom = at;
    unsigned long value = 0;
    for (; at < text.size(); ++at) {
        const int digit = hex ? hexDigitValue(text[at]) : (isDigit(text[at]) ? text[at] - '0' : -1);
        if (digit < 0) break;
        value = value * (hex ? 16 : 10) + static_cast<unsigned long>(digit);
        if (value > 0x10FFFF) value = 0x110000;  // stays out of range, never overflows
    }
    if (at == digitsFrom) return std::nullopt;
    if (at < text.size() && text[at] == ';') ++at;
    return ReadReference{at, numericCharacter(value), 0};
}

std::optional<ReadReference> namedReferenceAt(std::string_view text, HtmlPlace place) {
    const NamedReference* named = longestNamedReferenceAt(text.substr(1));
    if (named == nullptr) return std::nullopt;
    const std::size_t length = 1 + named->name.size();
    if (place == HtmlPlace::AttributeValue && named->name.back() != ';' && length < text.size() &&
        (text[length] == '=' || isAlphanumeric(text[length])))
        return std::nullopt;
    return ReadReference{length, named->first, named->second};
}

// 128-159 except the five that 1252 leaves unassigned: a reference to any of
// them is read as a 1252 character instead, so none can be written as one.
bool remappedByBrowsers(char32_t c) {
    return c >= 0x80 && c <= 0x9F && cp1252ToUnicode(static_cast<unsigned char>(c)) != c;
}

}  // namespace

std::optional<ReadReference> referenceAt(std::string_view text, HtmlPlace place) {
    if (text.size() < 2 || text[0] != '&') return std::nullopt;
    if (text[1] == '#') return numericReferenceAt(text);
    if (isAlphanumeric(text[1])) return namedReferenceAt(text, place);
    return std::nullopt;
}

void appendAsReferences(ReferenceWriter& out, std::string_view html, const PageDecoder& decoder, HtmlPlace place) {
    const auto referenced = [&](char32_t c) { out.reference(decoder.referenceCode(c)); };
    std::size_t at = 0;
    while (at < html.size()) {
        const std::string_view rest = html.substr(at);
        if (const auto reference = referenceAt(rest, place)) {
            referenced(reference->first);
            if (reference->second != 0) referenced(reference->second);
            at += reference->length;
            continue;
        }
        char32_t codePoint = 0;
        char32_t second = 0;
        const std::size_t length = decoder.decodeAt(html, at, codePoint, second);
        if (length == 0) {
            out.reference(decoder.referenceForStrayByte(static_cast<unsigned char>(html[at])));
            ++at;
            continue;
        }
        // A C1 control outside code page 1252 has no reference that browsers
        // keep; it stays raw.
        if (decoder.charset() != PageCharset::Windows1252 && remappedByBrowsers(codePoint)) {
            out.plain(rest.substr(0, length));
        } else {
            referenced(codePoint);
            if (second != 0) referenced(second);
        }
        at += length;
    }
}

}  // namespace quill
