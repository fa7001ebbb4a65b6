#include "addresses/page_addresses.hpp"

#include <algorithm>

#include "html/page_charset.hpp"
#include "text/cp1252.hpp"

namespace quill {

namespace {

bool isSpace(char32_t c) {
    return c == U' ' || c == U'\t' || c == U'\n' || c == U'\r' || c == U'\f';
}

bool isMailtoTarget(const std::vector<ShownCharacter>& shown) {
    static constexpr std::u32string_view kMailto = U"mailto:";
    auto c = std::find_if_not(shown.begin(), shown.end(), [](const ShownCharacter& s) { return isSpace(s.code); });
    for (const char32_t expected : kMailto) {
        if (c == shown.end()) return false;
        const char32_t code = c->code >= U'A' && c->code <= U'Z' ? c->code + 0x20 : c->code;
        if (code != expected) return false;
        ++c;
    }
    return true;
}

ReferenceContext contextOf(RegionKind kind) {
    switch (kind) {
        case RegionKind::AttributeValue:
            return ReferenceContext::Attribute;
        case RegionKind::RawText:
            return ReferenceContext::None;
        default:
            return ReferenceContext::Text;
    }
}

ReadableKind kindOf(RegionKind region, const std::vector<ShownCharacter>& shown) {
    switch (region) {
        case RegionKind::AttributeValue:
            return isMailtoTarget(shown) ? ReadableKind::Link : ReadableKind::Attribute;
        case RegionKind::RawText:
            return ReadableKind::Script;
        default:
            return ReadableKind::Text;
    }
}

std::vector<AddressSpan> readableAddresses(const std::vector<ShownCharacter>& shown) {
    std::u32string text;
    text.reserve(shown.size());
    for (const ShownCharacter& c : shown) text += c.code;
    std::vector<AddressSpan> readable = findAddresses(text);
    std::erase_if(readable, [&shown](const AddressSpan& span) {
        return std::all_of(shown.begin() + static_cast<std::ptrdiff_t>(span.first),
                           shown.begin() + static_cast<std::ptrdiff_t>(span.end),
                           [](const ShownCharacter& c) { return c.reference; });
    });
    return readable;
}

}  // namespace

namespace {

// A page in an encoding iconv cannot read is judged as code page 1252.
PageEncoding readableEncoding(std::string_view page) {
    PageEncoding encoding = detectPageEncoding(page);
    if (!PageDecoder(encoding).readable()) encoding = PageEncoding{};
    return encoding;
}

}  // namespace

PageAddresses::PageAddresses(std::string_view page)
    : page_(page), decoder_(readableEncoding(page)), regions_(htmlRegions(page)) {
    for (const HtmlRegion& region : regions_) {
        if (region.kind == RegionKind::StartTag) continue;
        std::vector<ShownCharacter> shown = shownCharacters(region);
        std::vector<AddressSpan> readable = readableAddresses(shown);
        if (readable.empty()) continue;
        const ReadableKind kind = kindOf(region.kind, shown);
        readable_.push_back({&region, std::move(shown), kind, std::move(readable)});
    }
}

std::vector<ShownCharacter> PageAddresses::shownCharacters(const HtmlRegion& region) const {
    return quill::shownCharacters(page_, region.begin, region.end, decoder_, contextOf(region.kind));
}

const HtmlRegion& PageAddresses::tagOf(const HtmlRegion& attributeValue) const {
    auto at = static_cast<std::size_t>(&attributeValue - regions_.data());
    while (at > 0 && regions_[at].kind != RegionKind::StartTag) --at;
    return regions_[at];
}

std::string addressText(const ShownRegion& region, const AddressSpan& span) {
    std::u32string address;
    for (std::size_t i = span.first; i < span.end; ++i) address += region.shown[i].code;
    return codePointsToUtf8(address);
}

}  // namespace quill
