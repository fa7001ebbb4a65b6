#include "engine/case_blind_replace.hpp"

#include <gtest/gtest.h>

#include <random>

#include "encoding/sequential_rule.hpp"
#include "engine/found_text_replacement.hpp"
#include "engine/replacement_plan.hpp"
#include "html/char_reference.hpp"
#include "html/page_charset.hpp"
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
        {"\xf7\xd7", "\xd7", "-", "\xf7-"},                  // ÷ has no capital
        {"\xdf", "SS", "-", "\xdf"},
        {"text", "", "X", "text"},
        {"", "a", "X", ""},
        {std::string("a\0b\0", 4), std::string("B\0", 2), "-", std::string("a\0-", 3)},
        {"tail", "tails", "-", "tail"},
        // A reference never swallows a digit that follows it.
        {"a1 a a", "a", "&#97", "&#97;1 &#97 &#97"},
        {"aa1", "a", "&#97", "&#97&#97;1"},
        {"b1", "b", "&#", "&#1"},
        {"a; a;1 a", "a", "&#97", "&#97;; &#97;;1 &#97"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(replaceIgnoringCase(row.text, row.oldText, row.newText), row.expected) << row.text;
}

// Texts built from the pieces runs meet, in random letter case, and found
// texts that share prefixes, overlap each other, begin with digits or hold
// parts of references and of "mailto:", so that later ones meet what
// earlier ones insert.
class Generator {
public:
    explicit Generator(unsigned seed) : random_(seed) {}

    std::string piece() {
        static const std::vector<std::string> pieces = {"a@b.de",
                                                        "ab",
                                                        "aba",
                                                        "x.y@z.org",
                                                        "mailto:",
                                                        "MAILTO:",
                                                        "mail",
                                                        "to:",
                                                        "<a href=\"mailto:",
                                                        "\"",
                                                        ">",
                                                        "<",
                                                        "&",
                                                        "&amp;",
                                                        "&#97",
                                                        "&#",
                                                        "#",
                                                        "\r\n",
                                                        "\n",
                                                        "\r",
                                                        std::string(1, '\0'),
                                                        "\xe4",
                                                        "\xc4",
                                                        "\xff",
                                                        "\x9f",
                                                        "\xe0",
                                                        "\xc0",
                                                        " ",
                                                        "class=\"c\"",
                                                        "?subject=Hi",
                                                        "1",
                                                        "9",
                                                        "58",
                                                        ";",
                                                        "11@x.de",
                                                        "kontakt1@firma.de",
                                                        "kontakt12@firma.de",
                                                        "ma",
                                                        "ilto:",
                                                        "\xc3\xbc",
                                                        "&uuml;",
                                                        "<script>",
                                                        "</script>",
                                                        "<style>",
                                                        "</style >",
                                                        "<![CDATA[",
                                                        "]]>"};
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
    StringList foundTexts(const std::string& source, std::size_t most) {
        StringList list;
        const std::size_t count = pick(most + 1);
        for (std::size_t i = 0; i < count; ++i) {
            switch (pick(5)) {
                case 0:
                    list.push_back("");
                    break;
                case 1:
                    list.push_back(text(1 + pick(3)));
                    break;
                case 2:  // a link's found text: address, quote, ">", visible text
                    list.push_back(piece() + "\">" + piece());
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
    struct Size {
        int rounds;
        std::size_t pieces, foundTexts;
    };
    // Many small cases for the corners, fewer large ones with many addresses.
    for (const Size size : {Size{6000, 40, 6}, Size{300, 400, 40}, Size{6, 20000, 120}}) {
        for (int round = 0; round < size.rounds; ++round) {
            const std::string text = generate.text(generate.pick(size.pieces));
            const StringList found = generate.foundTexts(text, size.foundTexts);
            const RunReplacements replacements(found);
            ASSERT_EQ(replacements.apply(text), test::sequentialRule(text, found))
                << "round " << round << " of " << size.pieces << "-piece texts";
        }
    }
}

TEST(RunReplacements, EmptyOnlyWithoutANonEmptyFoundText) {
    EXPECT_TRUE(RunReplacements(StringList{}).empty());
    EXPECT_TRUE(RunReplacements(StringList{"", ""}).empty());
    EXPECT_FALSE(RunReplacements(StringList{"", "a"}).empty());
    // "mailto:" is replaced only behind a non-empty found text.
    EXPECT_EQ(RunReplacements(StringList{"zz"}).apply("MailTo:x"), fullEncoding("MailTo:") + "x");
    EXPECT_EQ(RunReplacements(StringList{}).apply("mailto:x"), "mailto:x");
}

// Ordinary addresses cannot meet each other's encodings: one pass does all.
// Where a found text could meet an earlier insertion, a new pass begins.
TEST(ReplacementPlan, OnePassUnlessAFoundTextCanMeetAnEarlierInsertion) {
    auto passes = [](const StringList& found) {
        std::vector<std::string> replacements;
        for (const auto& text : found) replacements.push_back(replacementForFoundText(text, PageCharset::Windows1252));
        return ReplacementPlan(found, replacements).passCount();
    };
    StringList ordinary;
    for (int i = 0; i < 200; ++i) ordinary.push_back("kontakt" + std::to_string(i) + "@firma.de\">Kontakt");
    EXPECT_EQ(passes(ordinary), 1u);
    // Begins with a digit that can continue the last reference of "mailto:".
    EXPECT_EQ(passes({"a@b.de\">A", "8@b.de\">B"}), 2u);
    // Its kept tail holds "mailto:", which the pass after it must still see.
    EXPECT_EQ(passes({"a&b\" title=\"mailto:\">A", "c@d.de\">C"}), 2u);
}

}  // namespace
}  // namespace quill
