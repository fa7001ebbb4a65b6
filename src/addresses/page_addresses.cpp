#include "addresses/page_addresses.hpp"

#include <algorithm>
#include <array>
#include <optional>

#include "html/html_characters.hpp"
#include "html/named_references.hpp"
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

// Whether a browser can show "@" in these bytes: as itself, or as a
// reference that stands for it. Most regions hold neither, and they are
// passed over without working out their characters. Only in code page 1252
// and UTF-8 is "@" always the byte 0x40; elsewhere every region is read.
bool mayShowAt(std::string_view bytes, ReferenceContext context, const PageDecoder& decoder) {
    // The bytes after "&" that can begin a reference to "@": "#" and the
    // first letters of the names that stand for it.
    static const std::array<bool, 256> atLeads = [] {
        std::array<bool, 256> leads{};
        leads['#'] = true;
        for (std::size_t i = 0; i < kNamedReferenceCount; ++i) {
            const NamedReference& named = kNamedReferences[i];
            if (named.first == U'@' || named.second == U'@') leads[static_cast<unsigned char>(named.name[0])] = true;
        }
        return leads;
    }();
    if (decoder.charset() != PageCharset::Windows1252 && decoder.charset() != PageCharset::Utf8) return true;
    if (bytes.find('@') != std::string_view::npos) return true;
    if (context == ReferenceContext::None) return false;
    const HtmlPlace place = context == ReferenceContext::Attribute ? HtmlPlace::AttributeValue : HtmlPlace::Text;
    for (std::size_t at = bytes.find('&'); at != std::string_view::npos; at = bytes.find('&', at + 1)) {
        if (at + 1 >= bytes.size() || !atLeads[static_cast<unsigned char>(bytes[at + 1])]) continue;
        const auto reference = referenceAt(bytes.substr(at), place);
        if (reference && (reference->first == U'@' || reference->second == U'@')) return true;
    }
    return false;
}

// The region with its characters when it holds a readable address.
std::optional<ShownRegion> readableRegion(std::string_view page, const PageDecoder& decoder, const HtmlRegion& region) {
    if (region.kind == RegionKind::StartTag) return std::nullopt;
    const ReferenceContext context = contextOf(region.kind);
    if (!mayShowAt(page.substr(region.begin, region.end - region.begin), context, decoder)) return std::nullopt;
    std::vector<ShownCharacter> shown = shownCharacters(page, region.begin, region.end, decoder, context);
    std::vector<AddressSpan> readable = readableAddresses(shown);
    if (readable.empty()) return std::nullopt;
    const ReadableKind kind = kindOf(region.kind, shown);
    return ShownRegion{&region, std::move(shown), kind, std::move(readable)};
}

}  // namespace

PageEncoding readableEncoding(std::string_view page) {
    PageEncoding encoding = detectPageEncoding(page);
    if (!PageDecoder(encoding).readable()) encoding = PageEncoding{};
    return encoding;
}

PageAddresses::PageAddresses(std::string_view page)
    : page_(page), decoder_(readableEncoding(page)), regions_(htmlRegions(page)) {
    for (const HtmlRegion& region : regions_)
        if (auto found = readableRegion(page_, decoder_, region)) readable_.push_back(std::move(*found));
}

void forEachReadableRegion(std::string_view page, const PageDecoder& decoder,
                           const std::function<void(const ShownRegion&)>& found) {
    forEachHtmlRegion(page, [&](const HtmlRegion& region) {
        if (const auto shown = readableRegion(page, decoder, region)) found(*shown);
    });
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
