#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quill {

// Where each line of a text lies, so that one line can be changed and every
// other byte kept. Lines end as splitLines cuts them (CR LF, lone CR, lone LF).
struct LineSpan {
    std::size_t begin;  // first byte of the line
    std::size_t end;    // its line end (or the text's end)
    std::size_t next;   // first byte behind its line end
};

// The readable part of a file: everything before its first NUL byte.
std::string_view readablePart(std::string_view bytes);

std::vector<LineSpan> lineSpans(std::string_view text);

// Where a new line goes at the end of text: a line end first if the last
// line has none.
std::string appendedLine(std::string_view text, std::string_view line);

// The file holds UTF-16 (by its byte-order mark or by NUL bytes between
// ASCII characters), which a byte-wise write would ruin.
bool looksLikeUtf16(std::string_view bytes);

}  // namespace quill
