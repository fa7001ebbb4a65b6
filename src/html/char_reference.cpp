#include "html/char_reference.hpp"

#include "text/cp1252.hpp"

namespace quill {

std::string referenceFor(unsigned long code) {
    std::string reference(kReferenceStart);
    reference += std::to_string(code);
    return reference;
}

std::string referenceFor(unsigned long code, ReferenceEnd end) {
    std::string reference = referenceFor(code);
    if (end == ReferenceEnd::Always) reference += ';';
    return reference;
}

bool endsInReference(std::string_view text) {
    std::size_t digits = 0;
    while (digits < text.size() && text[text.size() - 1 - digits] >= '0' && text[text.size() - 1 - digits] <= '9')
        ++digits;
    return digits > 0 && text.substr(0, text.size() - digits).ends_with("&#");
}

bool continuesReference(std::string_view text) {
    return !text.empty() && ((text.front() >= '0' && text.front() <= '9') || text.front() == ';');
}

void ReferenceWriter::reference(unsigned long code) {
    text_ += kReferenceStart;
    text_ += std::to_string(code);
    if (end_ == ReferenceEnd::Always) text_ += ';';
    endsInReference_ = end_ == ReferenceEnd::AsNeeded;
}

void ReferenceWriter::plain(std::string_view text) {
    if (text.empty()) return;
    if (endsInReference_ && continuesReference(text)) text_ += ';';
    text_ += text;
    endsInReference_ = false;
}

std::string fullEncoding(std::string_view cp1252Text, ReferenceEnd end) {
    ReferenceWriter out(end);
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
