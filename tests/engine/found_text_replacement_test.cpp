#include "engine/found_text_replacement.hpp"

#include <gtest/gtest.h>

#include "html/char_reference.hpp"

namespace quill {
namespace {

constexpr auto kCp1252 = PageCharset::Windows1252;
constexpr auto kUtf8 = PageCharset::Utf8;

TEST(FoundTextReplacement, PlainLinksAreAddressAndTextReferencedAroundTheTag) {
    // Without "&" and non-ASCII bytes the page's encoding makes no difference.
    for (const auto charset : {kCp1252, kUtf8}) {
        for (const std::string found : {"x@y.de\">Schreiben", "ab\">Cd", "a@b.de?subject=Hallo Welt\">a@b.de", "x\">",
                                        "only address", "multi\r\nline\">T\r\nx"}) {
            const auto quote = found.find('"');
            const std::string expected = quote == std::string::npos ? fullEncoding(found)
                                                                    : fullEncoding(found.substr(0, quote)) + "\">" +
                                                                          fullEncoding(found.substr(quote + 2));
            EXPECT_EQ(replacementForFoundText(found, charset), expected) << found;
        }
    }
}

TEST(FoundTextReplacement, CharactersAsABrowserReadsThemInEachEncoding) {
    struct Row {
        std::string found;
        std::string inCp1252;
        std::string inUtf8;
    };
    const std::string xy = fullEncoding("x@y.de");
    const std::vector<Row> rows = {
        // The tag's remainder stays; a ">" inside a quoted value does not end it.
        {"x@y.de\" class=\"mail\" title=\"a>b\">Hi", xy + "\" class=\"mail\" title=\"a>b\">&#72&#105",
         xy + "\" class=\"mail\" title=\"a>b\">&#72&#105"},
        {"x@y.de\" title=\"A&B\">T", xy + "\" title=\"A&B\">&#84", xy + "\" title=\"A&B\">&#84"},
        {"x@y.de\" title=\"no end", xy + "\" title=\"no end", xy + "\" title=\"no end"},
        {"x@y.de\" data-n=1>2", xy + "\" data-n=1>&#50", xy + "\" data-n=1>&#50"},
        // Existing references and entities are their characters.
        {"x@y.de?subject=a&amp;body=b\">Tom &amp; Jerry",
         xy + "&#63&#115&#117&#98&#106&#101&#99&#116&#61&#97&#38&#98&#111&#100&#121&#61&#98\">&#84&#111&#109&#32&#38&#"
              "32&#74&#101&#114&#114&#121",
         xy + "&#63&#115&#117&#98&#106&#101&#99&#116&#61&#97&#38&#98&#111&#100&#121&#61&#98\">&#84&#111&#109&#32&#38&#"
              "32&#74&#101&#114&#114&#121"},
        {"&#120;&#X40&#x79\">T", "&#120&#64&#121\">&#84", "&#120&#64&#121\">&#84"},
        {"a\">&uuml;&euro;&ndash;&nbsp;&Lstrok;", "&#97\">&#252&#128&#150&#160&#321",
         "&#97\">&#252&#8364&#8211&#160&#321"},
        {"a\">&#150;&#0;&#xD800;&#1114112;", "&#97\">&#150&#65533&#65533&#65533", "&#97\">&#8211&#65533&#65533&#65533"},
        {"a\">&NotEqualTilde;", "&#97\">&#8770&#824", "&#97\">&#8770&#824"},
        // A lone "&", or one that starts no reference, is the character "&".
        {"&", "&#38", "&#38"},
        {"a&b\">& &#; &#x; &zzz;",
         "&#97&#38&#98\">&#38&#32&#38&#35&#59&#32&#38&#35&#120&#59&#32&#38&#122&#122&#122&#59",
         "&#97&#38&#98\">&#38&#32&#38&#35&#59&#32&#38&#35&#120&#59&#32&#38&#122&#122&#122&#59"},
        // Legacy names without ";": in text the longest one counts; in the address
        // one followed by "=" or a letter or digit is no reference.
        {"?c=1&copy=2&not\">&notit; &copy2",
         "&#63&#99&#61&#49&#38&#99&#111&#112&#121&#61&#50&#172\">&#172&#105&#116&#59&#32&#169&#50",
         "&#63&#99&#61&#49&#38&#99&#111&#112&#121&#61&#50&#172\">&#172&#105&#116&#59&#32&#169&#50"},
        // Raw bytes: 1252 values in a 1252 page, code points of UTF-8 in a UTF-8
        // page, byte values where a UTF-8 page holds no UTF-8.
        {"j\xc3\xbcrgen\">\xe2\x80\x93", "&#106&#195&#188&#114&#103&#101&#110\">&#226&#128&#147",
         "&#106&#252&#114&#103&#101&#110\">&#8211"},
        {"\xfc\">\x96\xf0\x9f\x98\x80", "&#252\">&#150&#240&#159&#152&#128", "&#252\">&#150&#128512"},
        // A UTF-8 C1 control has no reference browsers keep as it is.
        {"a\">\xc2\x80\xc2\x81", "&#97\">&#194&#128&#194&#129", "&#97\">\xc2\x80&#129"},
        {"", "", ""},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(replacementForFoundText(row.found, kCp1252), row.inCp1252) << row.found;
        EXPECT_EQ(replacementForFoundText(row.found, kUtf8), row.inUtf8) << row.found;
    }
}

}  // namespace
}  // namespace quill
