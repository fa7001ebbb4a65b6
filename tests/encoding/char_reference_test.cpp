#include "html/char_reference.hpp"

#include <gtest/gtest.h>

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

TEST(CharReference, AReferenceGetsItsSemicolonOnlyBeforeADigitOrASemicolonOrInXml) {
    for (const auto end : {ReferenceEnd::AsNeeded, ReferenceEnd::Always}) {
        ReferenceWriter out(end);
        out.reference(61);
        out.plain("2026");
        out.reference(32);
        out.plain("x1");
        out.reference(8211);
        out.reference(50);
        out.plain("");
        out.plain("9");
        out.reference(97);
        out.plain(";");
        EXPECT_EQ(out.take(), end == ReferenceEnd::AsNeeded ? "&#61;2026&#32x1&#8211&#50;9&#97;;"
                                                            : "&#61;2026&#32;x1&#8211;&#50;9&#97;;");
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
        {U"\u00e4\u20ac", "&#228&#128"},  // ä and € are in the code page
        {U"\u0141x", "&#321&#120"},       // Ł is not
        {U"\U0001F600", "&#128512"},
    };
    for (const auto& row : rows) EXPECT_EQ(fullEncodingOfCharacters(row.typed), row.expected);
    // Whatever the code page holds encodes exactly as its bytes do.
    std::string all;
    for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
    EXPECT_EQ(fullEncodingOfCharacters(utf8ToCodePoints(cp1252ToUtf8(all))), fullEncoding(all));
}

TEST(MailLink, BuiltFromItsPiecesWithTheSubjectAsAValidUrlPart) {
    struct Row {
        std::string address;
        std::u32string subject;
        std::string expected;
    };
    const std::string mailto = "&#109&#97&#105&#108&#116&#111&#58";
    const std::string subject = "&#63&#115&#117&#98&#106&#101&#99&#116&#61";
    const std::vector<Row> rows = {
        {"ab", U"", "<a href=\"" + mailto + "&#97&#98\">&#97&#98</a>"},
        {"ab", U"Hi", "<a href=\"" + mailto + "&#97&#98" + subject + "Hi\">&#97&#98</a>"},
        {"ab", U"Anfrage \"Torte\"",
         "<a href=\"" + mailto + "&#97&#98" + subject + "Anfrage%20%22Torte%22\">&#97&#98</a>"},
        {"ab", U"M\u00fcller & S\u00f6hne #1?<>%+/=",
         "<a href=\"" + mailto + "&#97&#98" + subject +
             "M%C3%BCller%20%26%20S%C3%B6hne%20%231%3F%3C%3E%25%2B%2F%3D\">&#97&#98</a>"},
        {"ab", U"\u0141\U0001F600 Re:it's(1)*,;!$@~._-",
         "<a href=\"" + mailto + "&#97&#98" + subject + "%C5%81%F0%9F%98%80%20Re:it's(1)*,;!$@~._-\">&#97&#98</a>"},
        // A digit or ";" right behind the "=" reference would be read as part of it.
        {"ab", U"2026 Bestellung", "<a href=\"" + mailto + "&#97&#98" + subject + ";2026%20Bestellung\">&#97&#98</a>"},
        {"ab", U";x", "<a href=\"" + mailto + "&#97&#98" + subject + ";;x\">&#97&#98</a>"},
    };
    for (const auto& row : rows) EXPECT_EQ(buildMailLink(fullEncoding(row.address), row.subject), row.expected);
}

}  // namespace
}  // namespace quill
