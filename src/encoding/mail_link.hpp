#pragma once

#include <string>
#include <string_view>

namespace quill {

// Typed text as code page 1252 bytes. A character that 1252 cannot hold is
// written as the reference of its Unicode code point ("Ł" becomes "&#321"),
// so a typed subject is never silently changed into "?". Such a reference
// gets ";" when a digit follows it.
std::string cp1252WithReferences(std::u32string_view text);

// The subject part of a link: empty for an empty subject, otherwise the
// encoded "?subject=" followed by the subject exactly as given; a subject
// that begins with a digit is set off by ";" so the "=" is not lost.
std::string subjectPart(std::string_view cp1252Subject);

// <a href="[encoded mailto][address][subject part]">[address]</a>
std::string buildMailLink(std::string_view encodedAddress, std::string_view cp1252Subject);

}  // namespace quill
