#pragma once

#include <string>
#include <string_view>

namespace quill {

// What a run writes in place of one found text (address, closing double
// quote, rest of the tag, visible text):
// - the address part (before the first double quote) and the visible text
//   (behind the next ">") get the link encoding;
// - the tag's remainder, from that double quote through that ">", stays as it
//   stands, so further attributes survive;
// - everything from the first "&" on stays as it stands, so an entity or a
//   query separator is never cut off and no text is lost.
// For address + '"' + '>' + text without "&" this equals linkEncoding.
std::string replacementForFoundText(std::string_view foundText);

}  // namespace quill
