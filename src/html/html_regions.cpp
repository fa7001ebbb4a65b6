#include "html/html_regions.hpp"

#include <algorithm>
#include <array>
#include <cstring>
#include <utility>

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

// Regions go to the visitor as they are read, so a page's regions are never
// all held at once; a start tag's attribute values wait until the tag's end
// is known, so that the tag comes first.
class Tokenizer {
public:
    Tokenizer(std::string_view page, const RegionVisitor& visit) : page_(page), visit_(visit) {}

    void run() {
        std::size_t textBegin = 0;
        for (std::size_t i = 0; i < page_.size();) {
            const void* lt = std::memchr(page_.data() + i, '<', page_.size() - i);
            if (lt == nullptr) break;
            i = static_cast<std::size_t>(static_cast<const char*>(lt) - page_.data());
            if (!opensMarkup(i)) {
                ++i;  // a "<" that opens nothing is text
                continue;
            }
            if (textBegin < i) add(RegionKind::Text, textBegin, i);
            i = textBegin = markup(i);
        }
        if (textBegin < page_.size()) add(RegionKind::Text, textBegin, page_.size());
    }

private:
    void add(RegionKind kind, std::size_t begin, std::size_t end) {
        region_.kind = kind;
        region_.begin = begin;
        region_.end = end;
        region_.tagName.clear();
        visit_(region_);
    }

    // Whether the "<" at lt begins markup rather than text.
    bool opensMarkup(std::size_t lt) const {
        const std::size_t next = lt + 1;
        if (next >= page_.size()) return false;
        const char c = page_[next];
        if (c == '/') return next + 1 < page_.size();
        return isAsciiLetter(c) || c == '!' || c == '?';
    }

    // Reads the markup that begins with the "<" at lt (opensMarkup holds);
    // returns where the text goes on.
    std::size_t markup(std::size_t lt) {
        const std::size_t next = lt + 1;
        const char c = page_[next];
        if (isAsciiLetter(c)) return startTag(lt);
        if (c == '!') {
            if (page_.substr(next, 3) == "!--") return comment(lt);
            if (page_.substr(next, 8) == "![CDATA[") return cdata(lt);
            return bogusComment(lt);
        }
        if (c == '?') return bogusComment(lt);
        if (isAsciiLetter(page_[next + 1])) return skipPast('>', next);  // an end tag
        if (page_[next + 1] == '>') return next + 2;                     // "</>" is dropped
        return bogusComment(lt);
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
            for (std::size_t i = page_.find("--", body); i != std::string_view::npos; i = page_.find("--", i + 1)) {
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
        values_.clear();
        i = attributes(i);
        region_.kind = RegionKind::StartTag;
        region_.begin = lt;
        region_.end = i;
        region_.tagName = name;
        visit_(region_);
        for (const auto& [begin, end] : values_) add(RegionKind::AttributeValue, begin, end);
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
                values_.emplace_back(j + 1, end);
                i = std::min(end + 1, page_.size());
            } else if (page_[j] == '>') {
                return j + 1;
            } else {
                std::size_t end = j;
                while (end < page_.size() && !isSpace(page_[end]) && page_[end] != '>') ++end;
                values_.emplace_back(j, end);
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
    const RegionVisitor& visit_;
    HtmlRegion region_{};
    // The attribute values of the start tag being read.
    std::vector<std::pair<std::size_t, std::size_t>> values_;
};

}  // namespace

void forEachHtmlRegion(std::string_view page, const RegionVisitor& visit) {
    Tokenizer(page, visit).run();
}

std::vector<HtmlRegion> htmlRegions(std::string_view page) {
    std::vector<HtmlRegion> regions;
    forEachHtmlRegion(page, [&regions](const HtmlRegion& region) { regions.push_back(region); });
    return regions;
}

std::vector<ByteRange> rawTextRanges(std::string_view page) {
    std::vector<ByteRange> ranges;
    if (page.find('<') == std::string_view::npos) return ranges;
    forEachHtmlRegion(page, [&ranges](const HtmlRegion& region) {
        if (region.kind == RegionKind::RawText) ranges.push_back({region.begin, region.end});
    });
    return ranges;
}

}  // namespace quill
