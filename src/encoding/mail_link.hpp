#pragma once

#include <string>
#include <string_view>

namespace quill {

// A header value of a mailto URL: the UTF-8 bytes of every character other
// than letters, digits and "-._~!$'()*,;:@" as "%" and two capital hex
// digits, so that "&", "#", "?", blanks and quotes cannot end the value, the
// query or the attribute it stands in ("Müller & Söhne" is
// "M%C3%BCller%20%26%20S%C3%B6hne").
std::string percentEncodedHeaderValue(std::u32string_view text);

// The subject part of a link: empty for an empty subject, otherwise the
// encoded "?subject=" followed by the subject percent-encoded; a subject that
// begins with a digit is set off by ";" so the "=" is not lost.
std::string subjectPart(std::u32string_view subject);

// <a href="[encoded mailto][address][subject part]">[address]</a>
std::string buildMailLink(std::string_view encodedAddress, std::u32string_view subject);

}  // namespace quill
