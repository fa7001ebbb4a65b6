#include "encoding/mail_link.hpp"

#include "html/char_reference.hpp"
#include "text/cp1252.hpp"

namespace quill {

std::string cp1252WithReferences(std::u32string_view text) {
    ReferenceWriter out;
    for (const char32_t c : text) {
        unsigned char byte = 0;
        if (unicodeToCp1252(c, byte)) {
            const char plain = static_cast<char>(byte);
            out.plain(std::string_view(&plain, 1));
        } else {
            out.reference(static_cast<unsigned long>(c));
        }
    }
    return out.take();
}

std::string subjectPart(std::string_view cp1252Subject) {
    if (cp1252Subject.empty()) return {};
    std::string part(kEncodedSubjectPrefix);
    if (beginsWithDigit(cp1252Subject)) part += ';';
    part += cp1252Subject;
    return part;
}

std::string buildMailLink(std::string_view encodedAddress, std::string_view cp1252Subject) {
    std::string link = "<a href=";
    link += '"';
    link += kEncodedMailto;
    link += encodedAddress;
    link += subjectPart(cp1252Subject);
    link += "\">";
    link += encodedAddress;
    link += "</a>";
    return link;
}

}  // namespace quill
