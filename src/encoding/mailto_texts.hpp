#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quill {

// The four letter-case spellings of the open tag the runs look for.
inline constexpr const char* kMailtoOpenTags[] = {
    "a href=\"mailto:", "a HREF=\"mailto:", "A href=\"mailto:", "A HREF=\"mailto:"};

// The texts the scanner delivers for a page with the four open tags above, in
// page order and with repeats: what follows an open tag up to the next "<"
// (empty without one), with every line end as CR LF, the page ending at its
// first NUL byte; a text that begins inside a script, style or another
// raw-text region, or a CDATA section, is none (the scanner with SkipRawText).
// Read from the page's bytes as they are, without a copy.
std::vector<std::string> mailtoTexts(std::string_view page);

}  // namespace quill
