#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace quill {

// How a browser treats a stretch of a page's bytes.
enum class RegionKind {
    Text,            // shown text (also of title and textarea): references decoded
    Comment,         // comment, doctype and the like: not shown
    StartTag,        // a whole start tag from "<" through ">"
    AttributeValue,  // the value of an attribute of the start tag before it, without quotes
    RawText,         // script, style and the like, and CDATA sections: nothing decoded, no tags
};

struct HtmlRegion {
    RegionKind kind;
    std::size_t begin;
    std::size_t end;
    std::string tagName;  // StartTag only, in lower case
};

// Cuts a page into regions in the order of their bytes, as a browser's
// tokenizer reads it; end tags and the gaps inside tags belong to none.
std::vector<HtmlRegion> htmlRegions(std::string_view page);

// The same regions one at a time, none kept: the region passed is valid only
// during the call.
using RegionVisitor = std::function<void(const HtmlRegion& region)>;
void forEachHtmlRegion(std::string_view page, const RegionVisitor& visit);

struct ByteRange {
    std::size_t begin;
    std::size_t end;
};

// The raw-text regions of a page in byte order: the contents of script,
// style, xmp, iframe, noembed, noframes and plaintext, and of CDATA sections.
// Nothing in them is ever rewritten: a browser (or a script) reads their
// bytes as they stand.
std::vector<ByteRange> rawTextRanges(std::string_view page);

}  // namespace quill
