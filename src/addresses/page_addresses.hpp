#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "addresses/address_pattern.hpp"
#include "html/html_regions.hpp"
#include "html/shown_characters.hpp"

namespace quill {

// Where a readable address stands: shown text (comments included), the
// target of a mailto link in any attribute, another attribute value, or the
// raw text of a script or style block.
enum class ReadableKind { Text, Link, Attribute, Script };

// One region of a page with the characters a browser makes of it.
struct ShownRegion {
    const HtmlRegion* region;
    std::vector<ShownCharacter> shown;
    ReadableKind kind;
    // The addresses a reader can read: not every character a reference.
    std::vector<AddressSpan> readable;
};

// What a reader reads of one address of a region (UTF-8).
std::string addressText(const ShownRegion& region, const AddressSpan& span);

// How the page is read: as its encoding says, or as code page 1252 when
// iconv cannot read that.
PageEncoding readableEncoding(std::string_view page);

// Each region of a page that holds a readable address, in byte order, with
// none of the page's regions kept (its region pointer is valid during the
// call only): the audit of a large page costs little memory.
void forEachReadableRegion(std::string_view page, const PageDecoder& decoder,
                           const std::function<void(const ShownRegion&)>& found);

// The regions of a page and those of them that hold a readable address.
// Only these keep their characters, so a large page costs little memory.
class PageAddresses {
public:
    explicit PageAddresses(std::string_view page);
    PageAddresses(const PageAddresses&) = delete;
    PageAddresses& operator=(const PageAddresses&) = delete;

    const std::vector<HtmlRegion>& regions() const { return regions_; }
    // How the page's bytes are read as characters.
    const PageDecoder& decoder() const { return decoder_; }
    // In byte order.
    const std::vector<ShownRegion>& withReadableAddresses() const { return readable_; }
    // The characters of any region of this page.
    std::vector<ShownCharacter> shownCharacters(const HtmlRegion& region) const;
    // The start tag an attribute value belongs to.
    const HtmlRegion& tagOf(const HtmlRegion& attributeValue) const;

private:
    std::string_view page_;
    PageDecoder decoder_;
    std::vector<HtmlRegion> regions_;
    std::vector<ShownRegion> readable_;
};

}  // namespace quill
