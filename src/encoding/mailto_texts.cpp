#include "encoding/mailto_texts.hpp"

#include <algorithm>
#include <functional>
#include <optional>

#include "html/html_regions.hpp"

namespace quill {

namespace {

// The part every spelling shares; the six bytes before it tell them apart.
constexpr std::string_view kTail = "=\"mailto:";
constexpr std::size_t kHeadLength = 6;  // "a href"

bool isOpenTagHead(std::string_view head) {
    const bool lower = head.substr(1) == " href";
    return (head[0] == 'a' || head[0] == 'A') && (lower || head.substr(1) == " HREF");
}

// Lone CR, lone LF and CR LF all become CR LF, as the scanner's line list
// gives them.
std::string withCrLfLineEnds(std::string_view text) {
    std::string result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c != '\r' && c != '\n') {
            result += c;
            continue;
        }
        result += "\r\n";
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    }
    return result;
}

// ranges are sorted and apart. A region left open runs to the page's end,
// and so takes in a text that begins there.
bool insideAny(const std::vector<ByteRange>& ranges, std::size_t at, std::size_t pageEnd) {
    const auto after =
        std::upper_bound(ranges.begin(), ranges.end(), at,
                         [](std::size_t offset, const ByteRange& range) { return offset < range.begin; });
    if (after == ranges.begin()) return false;
    const std::size_t end = std::prev(after)->end;
    return at < end || (at == end && end == pageEnd);
}

}  // namespace

std::vector<std::string> mailtoTexts(std::string_view page) {
    page = page.substr(0, page.find('\0'));
    const std::boyer_moore_horspool_searcher tail(kTail.begin(), kTail.end());
    std::vector<std::string> texts;
    // Worked out at the first hit only: most pages have none.
    std::optional<std::vector<ByteRange>> raw;
    for (auto at = page.begin();;) {
        at = std::search(at, page.end(), tail);
        if (at == page.end()) break;
        const auto offset = static_cast<std::size_t>(at - page.begin());
        ++at;
        if (offset < kHeadLength || !isOpenTagHead(page.substr(offset - kHeadLength, kHeadLength))) continue;
        const std::size_t from = offset + kTail.size();
        if (!raw) raw = rawTextRanges(page);
        if (insideAny(*raw, from, page.size())) continue;
        const std::size_t lt = page.find('<', from);
        texts.push_back(lt == std::string_view::npos ? std::string() : withCrLfLineEnds(page.substr(from, lt - from)));
    }
    return texts;
}

}  // namespace quill
