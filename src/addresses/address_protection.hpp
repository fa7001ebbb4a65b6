#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "html/char_reference.hpp"

namespace quill {

// Encodes what the audit finds, keeping how the page looks and links in a
// browser: an address in text or in an attribute value gets every character
// as a reference; a mailto target in any attribute is encoded whole, and for
// a link ("a") the text that follows its tag up to the next "<" as well
// (blanks and line breaks stay). Script and style blocks are never touched, because browsers
// decode no references there.
// An address for which keepReadable (given its UTF-8 text) holds stays as it
// is, and so does a link to it.
// places, when given, grows by the number of stretches encoded.
// References end in ";" where what follows would continue them, or always
// with ReferenceEnd::Always.
std::string protectAllAddresses(std::string_view fileBytes,
                                const std::function<bool(const std::string&)>& keepReadable = {},
                                std::size_t* places = nullptr, ReferenceEnd referenceEnd = ReferenceEnd::AsNeeded);

}  // namespace quill
