#include <gtest/gtest.h>

#include "encoding/reference_decoding.hpp"
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
        std::string decoded;
    };
    const std::vector<Row> rows = {
        {"", ""},
        {"no references", ""},
        {"&#72&#105", "Hi"},
        {"&#321", "A"},
        {"x&#65", "A"},
        {"&#65&#|&#66", "A"},
        {"&#|&#zz", ""},
        {"&#-191", "A"},
        {"&#$41&#x42&#0X43", "ABC"},
        {"&# 65", "A"},
        {"&#228&#0", std::string("\xe4\0", 2)},
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
        {"&#72;&#105;", "'72;' ist kein gültiger Integerwert"},
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
    EXPECT_EQ(decodeReferences(withMemoLineBreaks(removeCrLfPairs("&#97\r\n&#98"))), "ab");
    EXPECT_THROW(decodeReferences(withMemoLineBreaks(removeCrLfPairs("&#97\n&#98"))), ConvertError);
}

}  // namespace
}  // namespace quill
