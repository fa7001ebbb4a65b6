#include <gtest/gtest.h>

#include "encoding/char_reference.hpp"
#include "encoding/found_text_replacement.hpp"

namespace quill {
namespace {

TEST(FoundTextReplacement, CommonFormIsExactlyTheLinkEncoding) {
    for (const std::string found : {"x@y.de\">Schreiben", "ab\">Cd", "a@b.de?subject=Hallo Welt\">a@b.de", "x\">",
                                    "only address", "ab\">Cd\">e", "multi\r\nline\">T\r\nx"})
        EXPECT_EQ(replacementForFoundText(found), linkEncoding(found)) << found;
}

TEST(FoundTextReplacement, KeepsTheTagRemainderAndEverythingFromTheAmpersand) {
    struct Row {
        std::string found;
        std::string expected;
    };
    const std::string xy = fullEncoding("x@y.de");
    const std::vector<Row> rows = {
        {"x@y.de\" class=\"mail\" title=\"Schreiben\">Hi",
         xy + "\" class=\"mail\" title=\"Schreiben\">" + fullEncoding("Hi")},
        {"m@n.de\" alt=\"Karte\">", fullEncoding("m@n.de") + "\" alt=\"Karte\">"},
        {"x@y.de\" title=\"no end", xy + "\" title=\"no end"},
        {"x@y.de\">Mail &amp; more", xy + "\">" + fullEncoding("Mail ") + "&amp; more"},
        {"x@y.de?subject=a&amp;body=b\">T", fullEncoding("x@y.de?subject=a") + "&amp;body=b\">T"},
        {"x@y.de\" title=\"A&B\">T", xy + "\" title=\"A&B\">T"},
        {"&#120\">T", "&#120\">T"},
        {"&", "&"},
        {"", ""},
    };
    for (const auto& row : rows) EXPECT_EQ(replacementForFoundText(row.found), row.expected) << row.found;
}

}  // namespace
}  // namespace quill
