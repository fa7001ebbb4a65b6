#include "encoding/reference_decoding.hpp"

#include <gtest/gtest.h>

#include "text/quill_error.hpp"

namespace quill {
namespace {

TEST(SplitAtDelimiter, PiecesBetweenExactOccurrences) {
    struct Row {
        std::string text;
        std::string delimiter;
        StringList pieces;
    };
    const std::vector<Row> rows = {
        {"", "&#", {""}},
        {"abc", "&#", {"abc"}},
        {"&#65", "&#", {"", "65"}},
        {"x&#65&#66", "&#", {"x", "65", "66"}},
        {"&#&#", "&#", {"", "", ""}},
        {"65&#", "&#", {"65", ""}},
        {"a&&#b", "&#", {"a&", "b"}},
        {"aXbxc", "X", {"a", "bxc"}},
        {"abab", "abab", {"", ""}},
        {"aaa", "aa", {"", "a"}},
        {"abc", "", {"abc"}},
    };
    for (const auto& row : rows) {
        StringList pieces = {"old"};
        SplitAtDelimiter(row.text, row.delimiter, pieces);
        EXPECT_EQ(pieces, row.pieces) << row.text;
    }
}

TEST(ReferenceDecoding, DecodesPiecesFromTheSecondOn) {
    struct Row {
        std::string text;
        std::u32string decoded;
    };
    const std::vector<Row> rows = {
        {"", U""},
        {"no references", U""},
        {"&#72&#105", U"Hi"},
        {"&#72;&#105;", U"Hi"},
        {"&#72&#105;", U"Hi"},
        {"x&#65", U"A"},
        {"&#65&#|&#66", U"A"},
        {"&#|&#zz", U""},
        {"&#-191", U"A"},
        {"&#$41&#x42;&#0X43", U"ABC"},
        {"&# 65;", U"A"},
        {"&#228&#0", std::u32string(U"\u00e4\0", 2)},
        {"&#128&#150;&#255", U"\u20ac\u2013\u00ff"},  // 1252 characters
        {"&#321&#8211;&#x1F600&#256", U"\u0141\u2013\U0001F600\u0100"},
        {"&#55296&#1114112&#xFFFFFF", U"\ufffd\ufffd\ufffd"},
        {"&#xFFFFFFC1", U"\u00c1"},  // negative: its low 8 bits
    };
    for (const auto& row : rows) EXPECT_EQ(decodeReferences(row.text), row.decoded) << row.text;
}

TEST(ReferenceDecoding, APieceThatIsNoIntegerFailsWithItsText) {
    struct Row {
        std::string text;
        std::string message;
    };
    const std::vector<Row> rows = {
        {"&#&#65", "'' ist kein gültiger Integerwert"},
        {"&#72;;&#105;", "'72;;' ist kein gültiger Integerwert"},
        {"&#;", "';' ist kein gültiger Integerwert"},
        {"&#105; ", "'105; ' ist kein gültiger Integerwert"},
        {"&#97\r\n&#98", "'97\r\n' ist kein gültiger Integerwert"},
        {"&#97&#98\">&#97", "'98\">' ist kein gültiger Integerwert"},
        {"&#65 ", "'65 ' ist kein gültiger Integerwert"},
        {"&#\xe4", "'ä' ist kein gültiger Integerwert"},
    };
    for (const auto& row : rows) {
        try {
            decodeReferences(row.text);
            ADD_FAILURE() << "no error for " << row.text;
        } catch (const ConvertError& error) {
            EXPECT_EQ(error.what(), row.message);
        }
    }
}

TEST(ReferenceDecoding, MemoTextJoinsCrLfLinesAndKeepsLoneBreaks) {
    struct Row {
        std::string typed;
        std::string joined;
        std::string memo;
    };
    const std::vector<Row> rows = {
        {"&#97\r\n&#98", "&#97&#98", "&#97&#98"},
        {"&#97\n&#98", "&#97\n&#98", "&#97\r\n&#98"},
        {"&#97\r&#98\r\n", "&#97\r&#98", "&#97\r\n&#98"},
        {"\r\r\n\n", "\r\n", "\r\n"},
        {"", "", ""},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(removeCrLfPairs(row.typed), row.joined);
        EXPECT_EQ(withMemoLineBreaks(removeCrLfPairs(row.typed)), row.memo);
    }
    EXPECT_EQ(decodeReferences(withMemoLineBreaks(removeCrLfPairs("&#97\r\n&#98"))), U"ab");
    EXPECT_THROW(decodeReferences(withMemoLineBreaks(removeCrLfPairs("&#97\n&#98"))), ConvertError);
}

}  // namespace
}  // namespace quill
