#include "text/string_list.hpp"

#include <gtest/gtest.h>

namespace quill {
namespace {

struct SplitCase {
    std::string text;
    StringList lines;
};

TEST(StringList, SplitsAtEveryKindOfLineEndAndStopsAtNul) {
    const SplitCase cases[] = {
        {"", {}},
        {"\r\n", {""}},
        {"a", {"a"}},
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\rb\nc", {"a", "b", "c"}},
        {"a\r\n\r\nb", {"a", "", "b"}},
        {"a\n\rb", {"a", "", "b"}},
        {"a\r\r\nb", {"a", "", "b"}},
        {std::string("a\r\nb\0c\r\nd", 9), {"a", "b"}},
        {std::string("\0a", 2), {}},
        {" *.html \r\n", {" *.html "}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(splitLines(c.text), c.lines) << testing::PrintToString(c.text);
        EXPECT_EQ(crlfLines(c.text), joinLines(c.lines)) << testing::PrintToString(c.text);
    }
}

TEST(StringList, TextFormEndsEveryLineWithCrLf) {
    EXPECT_EQ(joinLines({}), "");
    EXPECT_EQ(joinLines({""}), "\r\n");
    EXPECT_EQ(joinLines({"*.html", "*.htm"}), "*.html\r\n*.htm\r\n");
}

}  // namespace
}  // namespace quill
