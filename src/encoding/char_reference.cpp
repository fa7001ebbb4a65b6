#include "encoding/char_reference.hpp"

#include "text/cp1252.hpp"

namespace quill {

std::string referenceFor(unsigned long code) {
    std::string reference(kReferenceStart);
    reference += std::to_string(code);
    return reference;
}

std::string fullEncoding(std::string_view cp1252Text) {
    std::string result;
    result.reserve(cp1252Text.size() * 5);
    for (const char c : cp1252Text) result += referenceFor(static_cast<unsigned char>(c));
    return result;
}

std::string fullEncodingOfCharacters(std::u32string_view text) {
    std::string result;
    result.reserve(text.size() * 5);
    for (const char32_t c : text) {
        unsigned char byte = 0;
        result += unicodeToCp1252(c, byte) ? referenceFor(byte) : referenceFor(static_cast<unsigned long>(c));
    }
    return result;
}

std::string linkEncoding(std::string_view foundText) {
    std::string result;
    result.reserve(foundText.size() * 5);
    for (const char c : foundText) {
        if (c == '"' || c == '>') {
            result += c;
        } else if (c == '&') {
            break;
        } else {
            result += referenceFor(static_cast<unsigned char>(c));
        }
    }
    return result;
}

}  // namespace quill
