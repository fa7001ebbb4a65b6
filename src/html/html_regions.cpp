#include "html/html_regions.hpp"

#include <algorithm>
#include <array>

namespace quill {

namespace {

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}
bool isAsciiLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
char lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 0x20) : c;
}

// Elements whose content a browser takes as raw text up to their end tag.
constexpr std::array<std::string_view, 6> kRawTextElements = {"script", "style",   "xmp",
                                                              "iframe", "noembed", "noframes"};
// Elements whose content is text with references but without tags.
constexpr std::array<std::string_view, 2> kTextOnlyElements = {"title", "textarea"};

bool contains(const auto& names, std::string_view name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

class Tokenizer {
public:
    explicit Tokenizer(std::string_view page) : page_(page) {}

    std::vector<HtmlRegion> run() {
        std::size_t textBegin = 0;
        std::size_t i = 0;
        while (i < page_.size()) {
            if (page_[i] != '<') {
                ++i;
                continue;
            }
            const std::size_t before = regions_.size();
            if (textBegin < i) add(RegionKind::Text, textBegin, i);
            const std::size_t markupEnd = markup(i);
            if (markupEnd == i) {
                regions_.erase(regions_.begin() + static_cast<std::ptrdiff_t>(before), regions_.end());
                ++i;  // a "<" that opens nothing is text
                continue;
            }
            i = textBegin = markupEnd;
        }
        if (textBegin < page_.size()) regions_.push_back({RegionKind::Text, textBegin, page_.size(), {}});
        return std::move(regions_);
    }

private:
    void add(RegionKind kind, std::size_t begin, std::size_t end, std::string tagName = {}) {
        regions_.push_back({kind, begin, end, std::move(tagName)});
    }

    // Reads the markup that begins with the "<" at lt; returns where the text
    // goes on, or lt itself when the "<" is plain text.
    std::size_t markup(std::size_t lt) {
        const std::size_t next = lt + 1;
        if (next >= page_.size()) return lt;
        const char c = page_[next];
        if (isAsciiLetter(c)) return startTag(lt);
        if (c == '!') {
            if (page_.substr(next, 3) == "!--") return comment(lt);
            if (page_.substr(next, 8) == "![CDATA[") return cdata(lt);
            return bogusComment(lt);
        }
        if (c == '?') return bogusComment(lt);
        if (c == '/') {
            if (next + 1 >= page_.size()) return lt;
            if (isAsciiLetter(page_[next + 1])) return skipPast('>', next);  // an end tag
            if (page_[next + 1] == '>') return next + 2;                     // "</>" is dropped
            return bogusComment(lt);
        }
        return lt;
    }

    std::size_t skipPast(char c, std::size_t from) const {
        const std::size_t at = page_.find(c, from);
        return at == std::string_view::npos ? page_.size() : at + 1;
    }

    std::size_t bogusComment(std::size_t lt) {
        const std::size_t end = skipPast('>', lt);
        add(RegionKind::Comment, lt, end);
        return end;
    }

    // In SVG, MathML and XML documents a CDATA section runs to "]]>"; its
    // contents are taken as they stand, wherever it is.
    std::size_t cdata(std::size_t lt) {
        const std::size_t body = lt + 9;
        const std::size_t close = page_.find("]]>", body);
        const std::size_t end = close == std::string_view::npos ? page_.size() : close;
        if (body < end) add(RegionKind::RawText, body, end);
        return close == std::string_view::npos ? page_.size() : close + 3;
    }

    std::size_t comment(std::size_t lt) {
        const std::size_t body = lt + 4;
        std::size_t end = page_.size();
        if (page_.substr(body, 1) == ">") {
            end = body + 1;  // "<!-->"
        } else if (page_.substr(body, 2) == "->") {
            end = body + 2;  // "<!--->"
        } else {
            for (std::size_t i = body; i < page_.size(); ++i) {
                if (page_.substr(i, 3) == "-->") {
                    end = i + 3;
                    break;
                }
                if (page_.substr(i, 4) == "--!>") {
                    end = i + 4;
                    break;
                }
            }
        }
        add(RegionKind::Comment, lt, end);
        return end;
    }

    std::size_t startTag(std::size_t lt) {
        std::size_t i = lt + 1;
        std::string name;
        while (i < page_.size() && !isSpace(page_[i]) && page_[i] != '/' && page_[i] != '>') name += lower(page_[i++]);
        const std::size_t tagIndex = regions_.size();
        add(RegionKind::StartTag, lt, page_.size(), name);
        i = attributes(i);
        regions_[tagIndex].end = i;
        if (contains(kRawTextElements, name)) return rawContent(i, name, RegionKind::RawText);
        if (contains(kTextOnlyElements, name)) return rawContent(i, name, RegionKind::Text);
        if (name == "plaintext") {
            add(RegionKind::RawText, i, page_.size());
            return page_.size();
        }
        return i;
    }

    // The attributes of a start tag from i on; returns the position past ">".
    std::size_t attributes(std::size_t i) {
        while (i < page_.size()) {
            while (i < page_.size() && (isSpace(page_[i]) || page_[i] == '/')) ++i;
            if (i >= page_.size()) break;
            if (page_[i] == '>') return i + 1;
            ++i;  // a name's first character may be "="
            while (i < page_.size() && !isSpace(page_[i]) && page_[i] != '/' && page_[i] != '>' && page_[i] != '=') ++i;
            std::size_t j = i;
            while (j < page_.size() && isSpace(page_[j])) ++j;
            if (j >= page_.size() || page_[j] != '=') {
                i = j;
                continue;
            }
            ++j;
            while (j < page_.size() && isSpace(page_[j])) ++j;
            if (j >= page_.size()) break;
            if (page_[j] == '"' || page_[j] == '\'') {
                const std::size_t close = page_.find(page_[j], j + 1);
                const std::size_t end = close == std::string_view::npos ? page_.size() : close;
                add(RegionKind::AttributeValue, j + 1, end);
                i = std::min(end + 1, page_.size());
            } else if (page_[j] == '>') {
                return j + 1;
            } else {
                std::size_t end = j;
                while (end < page_.size() && !isSpace(page_[end]) && page_[end] != '>') ++end;
                add(RegionKind::AttributeValue, j, end);
                i = end;
            }
        }
        return page_.size();
    }

    // The content of a raw-text or text-only element up to its end tag.
    std::size_t rawContent(std::size_t from, const std::string& name, RegionKind kind) {
        std::size_t end = page_.size();
        for (std::size_t i = page_.find("</", from); i != std::string_view::npos; i = page_.find("</", i + 1)) {
            std::size_t k = 0;
            while (k < name.size() && i + 2 + k < page_.size() && lower(page_[i + 2 + k]) == name[k]) ++k;
            const std::size_t after = i + 2 + k;
            if (k == name.size() && after < page_.size() &&
                (isSpace(page_[after]) || page_[after] == '/' || page_[after] == '>')) {
                end = i;
                break;
            }
        }
        if (from < end) add(kind, from, end);
        return end;
    }

    std::string_view page_;
    std::vector<HtmlRegion> regions_;
};

}  // namespace

std::vector<HtmlRegion> htmlRegions(std::string_view page) {
    return Tokenizer(page).run();
}

std::vector<ByteRange> rawTextRanges(std::string_view page) {
    std::vector<ByteRange> ranges;
    if (page.find('<') == std::string_view::npos) return ranges;
    for (const HtmlRegion& region : htmlRegions(page))
        if (region.kind == RegionKind::RawText) ranges.push_back({region.begin, region.end});
    return ranges;
}

}  // namespace quill
