#include "sequential_rule.hpp"

#include <cctype>
#include <functional>
#include <regex>
#include <vector>

#include "engine/found_text_replacement.hpp"
#include "html/char_reference.hpp"
#include "html/html_regions.hpp"
#include "html/page_charset.hpp"
#include "text/cp1252.hpp"

namespace quill::test {

namespace {

// A text with a mark on every byte that no replacement may touch.
struct Marked {
    std::string bytes;
    std::vector<bool> kept;
};

// The rule written plainly: byte by byte, entry after entry; each occurrence
// that touches no kept byte becomes the encoding of its own bytes. An
// inserted text ending in a reference gets ";" when the next byte written is
// a digit or ";".
Marked plainReplace(const Marked& text, const std::string& oldText,
                    const std::function<std::string(const std::string&)>& encode) {
    struct Piece {
        Marked bytes;
        bool inserted;
    };
    std::vector<Piece> pieces;
    const std::size_t size = text.bytes.size();
    std::size_t i = 0;
    while (i < size) {
        bool hit = i + oldText.size() <= size;
        for (std::size_t k = 0; hit && k < oldText.size(); ++k)
            hit = !text.kept[i + k] && toUpper1252(static_cast<unsigned char>(text.bytes[i + k])) ==
                                           toUpper1252(static_cast<unsigned char>(oldText[k]));
        if (hit) {
            const std::string inserted = encode(text.bytes.substr(i, oldText.size()));
            pieces.push_back({{inserted, std::vector<bool>(inserted.size(), false)}, true});
            i += oldText.size();
        } else {
            if (pieces.empty() || pieces.back().inserted) pieces.push_back({{}, false});
            pieces.back().bytes.bytes += text.bytes[i];
            pieces.back().bytes.kept.push_back(text.kept[i]);
            ++i;
        }
    }
    static const std::regex reference("&#[0-9]+$");
    Marked out;
    for (std::size_t p = 0; p < pieces.size(); ++p) {
        out.bytes += pieces[p].bytes.bytes;
        out.kept.insert(out.kept.end(), pieces[p].bytes.kept.begin(), pieces[p].bytes.kept.end());
        if (!pieces[p].inserted || !std::regex_search(pieces[p].bytes.bytes, reference)) continue;
        std::size_t next = p + 1;
        while (next < pieces.size() && pieces[next].bytes.bytes.empty()) ++next;
        if (next < pieces.size() && (std::isdigit(static_cast<unsigned char>(pieces[next].bytes.bytes[0])) ||
                                     pieces[next].bytes.bytes[0] == ';')) {
            out.bytes += ';';
            out.kept.push_back(false);
        }
    }
    return out;
}

}  // namespace

std::string sequentialRule(std::string text, const StringList& foundTexts) {
    const PageCharset charset = detectPageCharset(text);
    Marked marked{text, std::vector<bool>(text.size(), false)};
    for (const ByteRange& range : rawTextRanges(text))
        for (std::size_t i = range.begin; i < range.end; ++i) marked.kept[i] = true;
    for (const auto& found : foundTexts) {
        if (found.empty()) continue;
        marked =
            plainReplace(marked, found, [&](const std::string& at) { return replacementForFoundText(at, charset); });
        marked = plainReplace(marked, "mailto:", [](const std::string& at) { return fullEncoding(at); });
    }
    return marked.bytes;
}

}  // namespace quill::test
