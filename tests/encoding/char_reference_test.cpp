#include <gtest/gtest.h>

#include "encoding/char_reference.hpp"
#include "encoding/mail_link.hpp"
#include "text/cp1252.hpp"

namespace quill {
namespace {

struct EncodingRow {
    std::string input;
    std::string full;
    std::string link;
};

TEST(CharReference, FullAndLinkEncodingOfEachInput) {
    const std::vector<EncodingRow> rows = {
        {"", "", ""},
        {"ab", "&#97&#98", "&#97&#98"},
        {"a b@c", "&#97&#32&#98&#64&#99", "&#97&#32&#98&#64&#99"},
        {"\xe4\xff\x80", "&#228&#255&#128", "&#228&#255&#128"},
        {std::string("\0\x01", 2), "&#0&#1", "&#0&#1"},
        {"ab\">Cd", "&#97&#98&#34&#62&#67&#100", "&#97&#98\">&#67&#100"},
        {"\"\">>", "&#34&#34&#62&#62", "\"\">>"},
        {"a&b\">x", "&#97&#38&#98&#34&#62&#120", "&#97"},
        {"&x", "&#38&#120", ""},
        {"x@y.de?subject=Hi\r\n", "&#120&#64&#121&#46&#100&#101&#63&#115&#117&#98&#106&#101&#99&#116&#61&#72&#105&#13&#10",
         "&#120&#64&#121&#46&#100&#101&#63&#115&#117&#98&#106&#101&#99&#116&#61&#72&#105&#13&#10"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(fullEncoding(row.input), row.full) << row.input;
        EXPECT_EQ(linkEncoding(row.input), row.link) << row.input;
    }
}

TEST(CharReference, ConstantsAreTheFullEncodingOfTheirText) {
    EXPECT_EQ(kEncodedMailto, fullEncoding("mailto:"));
    EXPECT_EQ(kEncodedSubjectPrefix, fullEncoding("?subject="));
    EXPECT_EQ(kReferenceStart, "&#");
}

TEST(CharReference, TypedCharactersUseTheCodePageValueOrElseTheCodePoint) {
    struct Row {
        std::u32string typed;
        std::string expected;
    };
    const std::vector<Row> rows = {
        {U"ab", "&#97&#98"},
        {U"\u00e4\u20ac", "&#228&#128"},          // ä and € are in the code page
        {U"\u0141x", "&#321&#120"},               // Ł is not
        {U"\U0001F600", "&#128512"},
    };
    for (const auto& row : rows) EXPECT_EQ(fullEncodingOfCharacters(row.typed), row.expected);
    // Whatever the code page holds encodes exactly as its bytes do.
    std::string all;
    for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
    EXPECT_EQ(fullEncodingOfCharacters(utf8ToCodePoints(cp1252ToUtf8(all))), fullEncoding(all));
}

TEST(MailLink, BuiltFromItsPieces) {
    struct Row {
        std::string address;
        std::string subject;
        std::string expected;
    };
    const std::string mailto = "&#109&#97&#105&#108&#116&#111&#58";
    const std::vector<Row> rows = {
        {"ab", "", "<a href=\"" + mailto + "&#97&#98\">&#97&#98</a>"},
        {"ab", "Hi", "<a href=\"" + mailto + "&#97&#98&#63&#115&#117&#98&#106&#101&#99&#116&#61Hi\">&#97&#98</a>"},
        {"ab", "a \"b", "<a href=\"" + mailto + "&#97&#98&#63&#115&#117&#98&#106&#101&#99&#116&#61a \"b\">&#97&#98</a>"},
    };
    for (const auto& row : rows) EXPECT_EQ(buildMailLink(fullEncoding(row.address), row.subject), row.expected);
}

TEST(MailLink, TypedSubjectKeepsCodePageCharactersAndReferencesTheRest) {
    EXPECT_EQ(cp1252WithReferences(U"Gr\u00fc\u00dfe \u20ac"), "Gr\xfc\xdf" "e \x80");
    EXPECT_EQ(cp1252WithReferences(U"\u0141\u00f3d\u017a"), "&#321\xf3" "d&#378");
    EXPECT_EQ(cp1252WithReferences(U""), "");
}

}  // namespace
}  // namespace quill
