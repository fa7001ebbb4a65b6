#include "html/char_reference.hpp"

#include "text/cp1252.hpp"

namespace quill {

std::string referenceFor(unsigned long code) {
    std::string reference(kReferenceStart);
    reference += std::to_string(code);
    return reference;
}

bool beginsWithDigit(std::string_view text) { return !text.empty() && text.front() >= '0' && text.front() <= '9'; }

void ReferenceWriter::reference(unsigned long code) {
    text_ += kReferenceStart;
    text_ += std::to_string(code);
    endsInReference_ = true;
}

void ReferenceWriter::plain(std::string_view text) {
    if (text.empty()) return;
    if (endsInReference_ && beginsWithDigit(text)) text_ += ';';
    text_ += text;
    endsInReference_ = false;
}

std::string fullEncoding(std::string_view cp1252Text) {
    ReferenceWriter out;
    for (const char c : cp1252Text) out.reference(static_cast<unsigned char>(c));
    return out.take();
}

unsigned long cp1252ReferenceCode(char32_t character) {
    unsigned char byte = 0;
    return unicodeToCp1252(character, byte) ? byte : static_cast<unsigned long>(character);
}

std::string fullEncodingOfCharacters(std::u32string_view text) {
    ReferenceWriter out;
    for (const char32_t c : text) out.reference(cp1252ReferenceCode(c));
    return out.take();
}

}  // namespace quill
