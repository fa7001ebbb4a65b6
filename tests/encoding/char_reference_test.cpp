#include <gtest/gtest.h>

#include "html/char_reference.hpp"
#include "encoding/mail_link.hpp"
#include "text/cp1252.hpp"

namespace quill {
namespace {

TEST(CharReference, FullEncodingOfEachInput) {
    const std::vector<std::pair<std::string, std::string>> rows = {
        {"", ""},
        {"ab", "&#97&#98"},
        {"a b@c", "&#97&#32&#98&#64&#99"},
        {"\xe4\xff\x80", "&#228&#255&#128"},
        {std::string("\0\x01", 2), "&#0&#1"},
        {"ab\">Cd", "&#97&#98&#34&#62&#67&#100"},
        {"a&b2", "&#97&#38&#98&#50"},
    };
    for (const auto& [input, full] : rows) EXPECT_EQ(fullEncoding(input), full) << input;
}

TEST(CharReference, AReferenceGetsItsSemicolonOnlyBeforeADigit) {
    ReferenceWriter out;
    out.reference(61);
    out.plain("2026");
    out.reference(32);
    out.plain("x1");
    out.reference(8211);
    out.reference(50);
    out.plain("");
    out.plain("9");
    EXPECT_EQ(out.take(), "&#61;2026&#32x1&#8211&#50;9");
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
        {"ab", "2026 Bestellung", "<a href=\"" + mailto + "&#97&#98&#63&#115&#117&#98&#106&#101&#99&#116&#61;2026 Bestellung\">&#97&#98</a>"},
    };
    for (const auto& row : rows) EXPECT_EQ(buildMailLink(fullEncoding(row.address), row.subject), row.expected);
}

TEST(MailLink, TypedSubjectKeepsCodePageCharactersAndReferencesTheRest) {
    EXPECT_EQ(cp1252WithReferences(U"Gr\u00fc\u00dfe \u20ac"), "Gr\xfc\xdf" "e \x80");
    EXPECT_EQ(cp1252WithReferences(U"\u0141\u00f3d\u017a"), "&#321\xf3" "d&#378");
    EXPECT_EQ(cp1252WithReferences(U""), "");
    EXPECT_EQ(cp1252WithReferences(U"\u01411\u0141a"), "&#321;1&#321a");
}

}  // namespace
}  // namespace quill
