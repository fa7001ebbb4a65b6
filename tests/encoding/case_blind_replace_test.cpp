#include <gtest/gtest.h>

#include <random>

#include "encoding/case_blind_replace.hpp"
#include "encoding/char_reference.hpp"
#include "encoding/found_text_replacement.hpp"
#include "text/cp1252.hpp"

namespace quill {
namespace {

TEST(ReplaceIgnoringCase, UpperCaseMatchingLeftToRightWithoutOverlap) {
    struct Row {
        std::string text, oldText, newText, expected;
    };
    const std::vector<Row> rows = {
        {"x MailTo: y mailto:", "mailto:", "M", "x M y M"},
        {"aaaa", "aa", "b", "bb"},
        {"aaa", "aa", "b", "ba"},
        {"abab", "ab", "abab", "abababab"},  // inserted text is not searched again
        {"ab", "b", "bb", "abb"},
        {"\xe4\xc4\xff\x9f", "\xc4\x9f", "!", "\xe4!\x9f"},  // ä Ä ÿ Ÿ
        {"\xf7\xd7", "\xd7", "-", "\xf7-"},                     // ÷ has no capital
        {"\xdf", "SS", "-", "\xdf"},
        {"text", "", "X", "text"},
        {"", "a", "X", ""},
        {std::string("a\0b\0", 4), std::string("B\0", 2), "-", std::string("a\0-", 3)},
        {"tail", "tails", "-", "tail"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(replaceIgnoringCase(row.text, row.oldText, row.newText), row.expected) << row.text;
}

// The rule written plainly: byte by byte, entry after entry.
std::string plainReplace(const std::string& text, const std::string& oldText, const std::string& newText) {
    if (oldText.empty()) return text;
    std::string out;
    std::size_t i = 0;
    while (i < text.size()) {
        bool hit = i + oldText.size() <= text.size();
        for (std::size_t k = 0; hit && k < oldText.size(); ++k)
            hit = toUpper1252(static_cast<unsigned char>(text[i + k])) == toUpper1252(static_cast<unsigned char>(oldText[k]));
        if (hit) {
            out += newText;
            i += oldText.size();
        } else {
            out += text[i++];
        }
    }
    return out;
}

std::string sequentialRule(std::string text, const StringList& foundTexts) {
    const PageCharset charset = detectPageCharset(text);
    for (const auto& found : foundTexts) {
        if (found.empty()) continue;
        text = plainReplace(text, found, replacementForFoundText(found, charset));
        text = plainReplace(text, "mailto:", std::string(kEncodedMailto));
    }
    return text;
}

// Texts built from the pieces runs meet, in random letter case.
class Generator {
public:
    explicit Generator(unsigned seed) : random_(seed) {}

    std::string piece() {
        static const std::vector<std::string> pieces = {
            "a@b.de", "ab", "aba", "x.y@z.org", "mailto:", "MAILTO:", "mail", "to:", "<a href=\"mailto:", "\"",
            ">", "<", "&", "&amp;", "&#97", "#", "\r\n", "\n", "\r", std::string(1, '\0'), "\xe4", "\xc4", "\xff",
            "\x9f", " ", "class=\"c\"", "?subject=Hi", "1", "9", "\xc3\xbc", "&uuml;"};
        std::string text = pieces[pick(pieces.size())];
        for (auto& c : text)
            if (pick(2) == 0) c = static_cast<char>(toUpper1252(static_cast<unsigned char>(c)));
        if (pick(8) == 0) text += static_cast<char>(pick(256));
        return text;
    }
    std::string text(std::size_t pieces) {
        std::string result;
        for (std::size_t i = 0; i < pieces; ++i) result += piece();
        return result;
    }
    // Found texts: parts of the text itself, free pieces and empty ones.
    StringList foundTexts(const std::string& source) {
        StringList list;
        const std::size_t count = pick(6);
        for (std::size_t i = 0; i < count; ++i) {
            switch (pick(4)) {
                case 0:
                    list.push_back("");
                    break;
                case 1:
                    list.push_back(text(1 + pick(3)));
                    break;
                default:
                    if (source.empty()) break;
                    const std::size_t from = pick(source.size());
                    list.push_back(source.substr(from, 1 + pick(12)));
            }
        }
        return list;
    }
    std::size_t pick(std::size_t below) { return std::uniform_int_distribution<std::size_t>(0, below - 1)(random_); }

private:
    std::mt19937 random_;
};

TEST(RunReplacements, SameBytesAsReplacingEntryAfterEntry) {
    Generator generate(20261207);
    for (int round = 0; round < 4000; ++round) {
        const std::string text = generate.text(generate.pick(40));
        const StringList found = generate.foundTexts(text);
        const RunReplacements replacements(found);
        ASSERT_EQ(replacements.apply(text), sequentialRule(text, found)) << "round " << round;
    }
}

TEST(RunReplacements, EmptyOnlyWithoutANonEmptyFoundText) {
    EXPECT_TRUE(RunReplacements(StringList{}).empty());
    EXPECT_TRUE(RunReplacements(StringList{"", ""}).empty());
    EXPECT_FALSE(RunReplacements(StringList{"", "a"}).empty());
    // "mailto:" is replaced only behind a non-empty found text.
    EXPECT_EQ(RunReplacements(StringList{"zz"}).apply("MailTo:x"), std::string(kEncodedMailto) + "x");
}

}  // namespace
}  // namespace quill
