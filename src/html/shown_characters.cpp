#include "html/shown_characters.hpp"

#include "html/html_characters.hpp"
#include "text/cp1252.hpp"

namespace quill {

std::vector<ShownCharacter> shownCharacters(std::string_view page, std::size_t begin, std::size_t end,
                                            const PageDecoder& decoder, ReferenceContext context) {
    std::vector<ShownCharacter> shown;
    shown.reserve(end - begin);
    std::size_t i = begin;
    while (i < end) {
        const HtmlPlace place = context == ReferenceContext::Attribute ? HtmlPlace::AttributeValue : HtmlPlace::Text;
        const auto reference =
            context == ReferenceContext::None ? std::nullopt : referenceAt(page.substr(i, end - i), place);
        if (reference) {
            shown.push_back({reference->first, i, i + reference->length, true});
            if (reference->second != 0) shown.push_back({reference->second, i, i + reference->length, true});
            i += reference->length;
            continue;
        }
        char32_t code = 0;
        char32_t second = 0;
        std::size_t length = decoder.decodeAt(page.substr(0, end), i, code, second);
        if (length == 0) {
            code = 0xFFFD;
            length = 1;
        }
        shown.push_back({code, i, i + length, false});
        if (second != 0) shown.push_back({second, i, i + length, false});
        i += length;
    }
    return shown;
}

}  // namespace quill
