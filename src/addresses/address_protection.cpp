#include "addresses/address_protection.hpp"

#include <algorithm>
#include <set>

#include "addresses/page_addresses.hpp"
#include "html/char_reference.hpp"

namespace quill {

namespace {

bool isSpace(char32_t c) {
    return c == U' ' || c == U'\t' || c == U'\n' || c == U'\r' || c == U'\f';
}

// One stretch of the page and what replaces it.
struct Replacement {
    std::size_t begin;
    std::size_t end;
    std::string text;
};

// shown[first, end) as references, blanks and line breaks kept as they are.
Replacement encoded(const std::vector<ShownCharacter>& shown, std::size_t first, std::size_t end,
                    ReferenceEnd referenceEnd) {
    ReferenceWriter out(referenceEnd);
    for (std::size_t i = first; i < end; ++i) {
        if (isSpace(shown[i].code)) {
            const char blank = static_cast<char>(shown[i].code);
            out.plain(std::string_view(&blank, 1));
        } else {
            out.reference(shown[i].code);
        }
    }
    return {shown[first].begin, shown[end - 1].end, out.take()};
}

}  // namespace

std::string protectAllAddresses(std::string_view fileBytes, const std::function<bool(const std::string&)>& keepReadable,
                                std::size_t* places, ReferenceEnd referenceEnd) {
    const PageAddresses page(fileBytes);

    std::vector<Replacement> replacements;
    // Where the links end whose mailto target gets encoded: the link's text
    // behind them is encoded too.
    std::set<std::size_t> linkTextBegins;
    const auto kept = [&](const ShownRegion& region, const AddressSpan& span) {
        return keepReadable && keepReadable(addressText(region, span));
    };
    for (const ShownRegion& region : page.withReadableAddresses()) {
        switch (region.kind) {
            case ReadableKind::Script:
                break;
            case ReadableKind::Link:
                if (std::any_of(region.readable.begin(), region.readable.end(),
                                [&](const AddressSpan& span) { return kept(region, span); }))
                    break;
                replacements.push_back(encoded(region.shown, 0, region.shown.size(), referenceEnd));
                if (const HtmlRegion& tag = page.tagOf(*region.region); tag.tagName == "a")
                    linkTextBegins.insert(tag.end);
                break;
            default:
                for (const AddressSpan& span : region.readable)
                    if (!kept(region, span))
                        replacements.push_back(encoded(region.shown, span.first, span.end, referenceEnd));
        }
    }
    for (const HtmlRegion& region : page.regions()) {
        if (region.kind != RegionKind::Text || linkTextBegins.count(region.begin) == 0) continue;
        // The whole text replaces the replacements of its addresses.
        std::erase_if(replacements,
                      [&region](const Replacement& r) { return r.begin >= region.begin && r.end <= region.end; });
        const std::vector<ShownCharacter> shown = page.shownCharacters(region);
        replacements.push_back(encoded(shown, 0, shown.size(), referenceEnd));
    }
    if (places) *places += replacements.size();
    std::sort(replacements.begin(), replacements.end(),
              [](const Replacement& a, const Replacement& b) { return a.begin < b.begin; });

    std::string result;
    result.reserve(fileBytes.size() + fileBytes.size() / 4);
    std::size_t done = 0;
    for (const Replacement& replacement : replacements) {
        result.append(fileBytes, done, replacement.begin - done);
        result += replacement.text;
        // "a@x.org;" keeps its ";", and a digit behind is not swallowed.
        if (endsInReference(replacement.text) && continuesReference(fileBytes.substr(replacement.end))) result += ';';
        done = replacement.end;
    }
    result.append(fileBytes, done);
    return result;
}

}  // namespace quill
