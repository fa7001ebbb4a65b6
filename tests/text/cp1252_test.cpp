#include "text/cp1252.hpp"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

namespace quill {
namespace {

TEST(Cp1252, EveryByteSurvivesTheRoundTripThroughUtf8) {
    std::string all;
    for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
    EXPECT_EQ(utf8ToCp1252(cp1252ToUtf8(all)), all);
}

TEST(Cp1252, MapsTheHighRangeToItsUnicodeCharacters) {
    EXPECT_EQ(cp1252ToUtf8("\x80"), "€");
    EXPECT_EQ(cp1252ToUtf8("\x9f"), "Ÿ");
    EXPECT_EQ(cp1252ToUtf8("\xe4\xf6\xfc\xdf"), "äöüß");
    EXPECT_EQ(utf8ToCp1252("Größe €"),
              "Gr\xf6\xdf"
              "e \x80");
}

TEST(Cp1252, CharactersOutsideTheCodePageBecomeQuestionMarks) {
    EXPECT_EQ(utf8ToCp1252("a\xc5\x82z"), "a?z");      // ł
    EXPECT_EQ(utf8ToCp1252("\xf0\x9f\x98\x80"), "?");  // emoji
    EXPECT_EQ(utf8ToCp1252("x\xff"), "x?");            // malformed UTF-8
}

TEST(Cp1252, UpperCaseMappingForAll256Bytes) {
    for (int b = 0; b < 256; ++b) {
        int expected = b;
        if (b >= 'a' && b <= 'z')
            expected = b - 32;
        else if (b == 0x9A)
            expected = 0x8A;
        else if (b == 0x9C)
            expected = 0x8C;
        else if (b == 0x9E)
            expected = 0x8E;
        else if (b == 0xFF)
            expected = 0x9F;
        else if (b >= 0xE0 && b <= 0xFE && b != 0xF7)
            expected = b - 32;
        EXPECT_EQ(toUpper1252(static_cast<unsigned char>(b)), expected) << "byte " << b;
    }
    EXPECT_EQ(toUpper1252("mailto:\xe4\xdf\xf7"), "MAILTO:\xc4\xdf\xf7");
}

TEST(Cp1252, Utf8SequencesAndTheirCodePoints) {
    const std::vector<std::tuple<std::string, std::size_t, char32_t>> rows = {
        {"A", 1, U'A'},
        {"\xc3\xbc!", 2, U'\u00fc'},
        {"\xe2\x80\x93", 3, U'\u2013'},
        {"\xf0\x9f\x98\x80", 4, U'\U0001F600'},
        {"\xc3", 0, 0},
        {"\x80", 0, 0},
        {"\xe0\x80\x80", 0, 0},
        {"\xc3\x28", 0, 0},
        {"\xed\xa0\x80", 0, 0},
        {"\xf4\x90\x80\x80", 0, 0},
    };
    for (const auto& [text, length, codePoint] : rows) {
        char32_t read = 0;
        EXPECT_EQ(decodeUtf8At(text, 0, read), length) << text;
        EXPECT_EQ(read, length > 0 ? codePoint : U'\uFFFD') << text;
    }
}

}  // namespace
}  // namespace quill
