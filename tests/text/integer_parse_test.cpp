#include "text/integer_parse.hpp"

#include <gtest/gtest.h>

#include "text/quill_error.hpp"

namespace quill {
namespace {

struct Accepted {
    const char* text;
    std::int32_t value;
};

TEST(IntegerParse, AcceptsDecimalAndHexadecimalForms) {
    const Accepted cases[] = {
        {"0", 0},
        {"72", 72},
        {"  72", 72},
        {"+5", 5},
        {"-5", -5},
        {"007", 7},
        {"2147483647", 2147483647},
        {"-2147483648", INT32_MIN},
        {"$41", 65},
        {"x41", 65},
        {"X41", 65},
        {"0x41", 65},
        {"0XfF", 255},
        {"$FFFFFFFF", -1},
        {"-$10", -16},
        {" +0x10", 16},
        {"321", 321},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(tryParseInteger(c.text).has_value()) << c.text;
        EXPECT_EQ(*tryParseInteger(c.text), c.value) << c.text;
    }
}

TEST(IntegerParse, RefusesEverythingElse) {
    const char* cases[] = {"",           " ",           "72;",        "72 ", "\"",  "1\">a", "+", "-",    "$",  "0x",
                           "2147483648", "-2147483649", "$100000000", "1.5", "\t7", "7a",    "|", "0x-1", "1e3"};
    for (const char* text : cases) EXPECT_FALSE(tryParseInteger(text).has_value()) << "'" << text << "'";
}

TEST(IntegerParse, ErrorNamesThePieceInQuotes) {
    try {
        parseInteger("72;");
        FAIL() << "no error";
    } catch (const ConvertError& e) {
        EXPECT_STREQ(e.what(), "'72;' ist kein gültiger Integerwert");
    }
    try {
        parseInteger("");
        FAIL() << "no error";
    } catch (const ConvertError& e) {
        EXPECT_STREQ(e.what(), "'' ist kein gültiger Integerwert");
    }
}

}  // namespace
}  // namespace quill
