#include "encoding/address_protection.hpp"

#include <set>

#include "encoding/char_reference.hpp"
#include "encoding/page_addresses.hpp"

namespace quill {

namespace {

bool isSpace(char32_t c) { return c == U' ' || c == U'\t' || c == U'\n' || c == U'\r' || c == U'\f'; }

// One stretch of the page and what replaces it.
struct Replacement {
    std::size_t begin;
    std::size_t end;
    std::string text;
};

// shown[first, end) as references, blanks and line breaks kept as they are.
Replacement encoded(const std::vector<ShownCharacter>& shown, std::size_t first, std::size_t end) {
    Replacement replacement{shown[first].begin, shown[end - 1].end, {}};
    for (std::size_t i = first; i < end; ++i) {
        if (isSpace(shown[i].code)) {
            replacement.text += static_cast<char>(shown[i].code);
        } else {
            replacement.text += referenceFor(shown[i].code);
        }
    }
    return replacement;
}

// Start tags whose mailto target gets encoded: their "<" offsets.
std::set<std::size_t> tagsWithEncodedTargets(const PageAddresses& page) {
    std::set<std::size_t> tags;
    const HtmlRegion* tag = nullptr;
    std::size_t next = 0;
    for (const ShownRegion& region : page.shownRegions()) {
        for (; next < page.regions().size() && &page.regions()[next] != region.region; ++next)
            if (page.regions()[next].kind == RegionKind::StartTag) tag = &page.regions()[next];
        if (region.kind == ReadableKind::Link && !region.readable.empty() && tag != nullptr) tags.insert(tag->end);
    }
    return tags;
}

}  // namespace

std::string protectAllAddresses(std::string_view fileBytes) {
    const PageAddresses page(fileBytes);
    const std::set<std::size_t> linkTagEnds = tagsWithEncodedTargets(page);

    std::vector<Replacement> replacements;
    for (const ShownRegion& region : page.shownRegions()) {
        if (region.kind == ReadableKind::Script || region.shown.empty()) continue;
        const bool linkText = region.kind == ReadableKind::Text && region.region->kind == RegionKind::Text &&
                              linkTagEnds.count(region.region->begin) != 0;
        if ((region.kind == ReadableKind::Link && !region.readable.empty()) || linkText) {
            replacements.push_back(encoded(region.shown, 0, region.shown.size()));
            continue;
        }
        for (const AddressSpan& span : region.readable)
            replacements.push_back(encoded(region.shown, span.first, span.end));
    }

    std::string result;
    result.reserve(fileBytes.size() + fileBytes.size() / 4);
    std::size_t done = 0;
    for (const Replacement& replacement : replacements) {
        result.append(fileBytes, done, replacement.begin - done);
        result += replacement.text;
        // No digit follows that the last reference could swallow: a digit
        // would have belonged to the address, and a whole value or link text
        // ends at a quote, a blank, ">" or "<".
        done = replacement.end;
    }
    result.append(fileBytes, done);
    return result;
}

}  // namespace quill
