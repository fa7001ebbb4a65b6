#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quill {

using StringList = std::vector<std::string>;

// Cuts a text into lines at CR LF, a lone CR or a lone LF; a last line without
// a line end counts, a final line end adds no empty line, and a NUL byte ends
// the text.
StringList splitLines(std::string_view text);

// The text form of a list: every line followed by CR LF, the last one too.
std::string joinLines(const StringList& lines);

// joinLines(splitLines(text)), without the list in between.
std::string crlfLines(std::string_view text);

// The entries in order, each only at its first place.
StringList withoutRepeats(const StringList& list);

}  // namespace quill
