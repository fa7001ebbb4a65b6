#include "runs/file_mask.hpp"

#include <gtest/gtest.h>

namespace quill {
namespace {

TEST(FileMask, WholeNameLetterCaseIgnoredWithTheExtensionRule) {
    struct Row {
        std::string name;
        std::string mask;
        bool matches;
    };
    const std::vector<Row> rows = {
        {"index.html", "*.html", true},
        {"INDEX.HTML", "*.html", true},
        {"index.html", "*.HTML", true},
        {"index.html.bak", "*.html", false},
        {"xindex.html", "index.html", false},
        {"index.htm", "*.html", false},
        {"index.html", "*.htm", true},
        {"index.htmx", "*.htm", true},
        {"index.HTMLX", "*.htm", true},
        {"index.htm", "*.htm", true},
        {"index.ht", "*.htm", false},
        {"a.b.htmlx", "*.htm", true},
        {"a.html.b", "*.htm", false},
        {"index.php", "*.htm", false},
        {"READ", "*.*", true},
        {".hidden", "*.*", true},
        {"a.b", "*.*", true},
        {"READ", "*", true},
        {"abc", "a?c", true},
        {"ac", "a?c", false},
        {"abbbc", "a*c", true},
        {"abbbd", "a*c", false},
        {"ab.shtml", "*.?html", true},
        {"ab.shtmlx", "*.?html", false},
        {"\xc3\xa4rger.html", "\xc3\x84*.html", true},  // ä against Ä
        {"\xc3\xa4.html", "?.html", true},              // one character, two bytes
        {".html", "*.html", true},
        {"", "*", true},
        {"x.html", "", false},
    };
    for (const auto& row : rows)
        EXPECT_EQ(maskMatches(row.name, row.mask), row.matches) << row.name << " / " << row.mask;
}

TEST(FileMask, NamesOrderedWithLetterCaseIgnored) {
    EXPECT_TRUE(nameLessIgnoringCase("apple", "Banana"));
    EXPECT_FALSE(nameLessIgnoringCase("Banana", "apple"));
    EXPECT_TRUE(nameLessIgnoringCase("B", "b"));  // bytes decide between equal names
    EXPECT_FALSE(nameLessIgnoringCase("b", "B"));
    EXPECT_FALSE(nameLessIgnoringCase("a", "a"));
}

}  // namespace
}  // namespace quill
