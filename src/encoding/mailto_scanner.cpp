#include "encoding/mailto_scanner.hpp"

#include <algorithm>

#include "files/file_io.hpp"
#include "html/html_regions.hpp"
#include "text/string_list.hpp"

namespace quill {

std::int32_t FindFrom(std::string_view pattern, std::string_view text, std::int32_t start) {
    if (pattern.empty() || text.empty() || start < 1) return 0;
    const auto from = static_cast<std::size_t>(start - 1);
    if (from >= text.size()) return 0;
    const auto at = text.find(pattern, from);
    return at == std::string_view::npos ? 0 : static_cast<std::int32_t>(at + 1);
}

void THTMLParser::ClearKeys() {
    keys_.clear();
}

void THTMLParser::AddKey(const std::string& name, const std::string& openTag, const std::string& closeTag) {
    keys_.push_back(Key{name, TParserInfo{openTag, closeTag}});
}

void THTMLParser::setFileName(const std::string& path) {
    if (path == fileName_) return;
    fileName_ = path;
    ParseFile();
}

void THTMLParser::ParseFile() {
    if (!files::fileExists(fileName_)) return;
    parse(crlfLines(files::readWholeFile(fileName_)));
}

void THTMLParser::ParseText(std::string_view text) {
    parse(std::string(text));
}

// Takes the text, so that a large file is held once only.
void THTMLParser::parse(const std::string text) {
    tags_.clear();
    TTagInfoList hits;
    for (std::size_t k = 0; k < keys_.size(); ++k) {
        const TParserInfo& info = keys_[k].info;
        const auto openLength = static_cast<std::int32_t>(info.OpenTag.size());
        const auto closeLength = static_cast<std::int32_t>(info.CloseTag.size());
        for (std::int32_t p = FindFrom(info.OpenTag, text, 1); p != 0;
             p = FindFrom(info.OpenTag, text, p + openLength)) {
            // The close tag is looked for from the open tag's first character on.
            const std::int32_t q = FindFrom(info.CloseTag, text, p);
            hits.push_back(TTagInfo{p, q + closeLength, p + openLength, q, static_cast<std::int32_t>(k)});
        }
    }
    if (SkipRawText && !hits.empty()) {
        const std::vector<ByteRange> raw = rawTextRanges(text);
        std::erase_if(hits, [&raw](const TTagInfo& hit) {
            const auto from = static_cast<std::size_t>(hit.TextFrom - 1);
            const auto after = std::upper_bound(
                raw.begin(), raw.end(), from, [](std::size_t at, const ByteRange& range) { return at < range.begin; });
            return after != raw.begin() && from < std::prev(after)->end;
        });
    }
    std::stable_sort(hits.begin(), hits.end(),
                     [](const TTagInfo& a, const TTagInfo& b) { return a.OpenPos < b.OpenPos; });
    tags_ = hits;
    if (!OnKeyFound) return;

    // Copies, so that a handler that changes the keys or scans again cannot
    // pull the ground from under this loop.
    std::vector<std::string> names;
    names.reserve(keys_.size());
    for (const auto& key : keys_) names.push_back(key.name);
    const std::string& original = text;
    const TKeyFoundEvent handler = OnKeyFound;
    for (const TTagInfo& hit : hits) {
        std::string results;
        if (hit.TextTo > hit.TextFrom)
            results = original.substr(static_cast<std::size_t>(hit.TextFrom - 1),
                                      static_cast<std::size_t>(hit.TextTo - hit.TextFrom));
        handler(*this, names[static_cast<std::size_t>(hit.KeyIndex)], results, original);
    }
}

}  // namespace quill
