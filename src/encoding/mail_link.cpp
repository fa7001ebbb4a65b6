#include "encoding/mail_link.hpp"

#include "html/char_reference.hpp"
#include "text/cp1252.hpp"

namespace quill {

namespace {

bool keptInHeaderValue(unsigned char c) {
    static constexpr std::string_view kKept = "-._~!$'()*,;:@";
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
           kKept.find(static_cast<char>(c)) != std::string_view::npos;
}

}  // namespace

std::string percentEncodedHeaderValue(std::u32string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string encoded;
    for (const unsigned char c : codePointsToUtf8(text)) {
        if (keptInHeaderValue(c)) {
            encoded += static_cast<char>(c);
        } else {
            encoded += '%';
            encoded += kHex[c >> 4];
            encoded += kHex[c & 0xF];
        }
    }
    return encoded;
}

std::string subjectPart(std::u32string_view subject) {
    if (subject.empty()) return {};
    const std::string value = percentEncodedHeaderValue(subject);
    std::string part(kEncodedSubjectPrefix);
    if (continuesReference(value)) part += ';';
    return part + value;
}

std::string buildMailLink(std::string_view encodedAddress, std::u32string_view subject) {
    std::string link = "<a href=";
    link += '"';
    link += kEncodedMailto;
    link += encodedAddress;
    link += subjectPart(subject);
    link += "\">";
    link += encodedAddress;
    link += "</a>";
    return link;
}

}  // namespace quill
