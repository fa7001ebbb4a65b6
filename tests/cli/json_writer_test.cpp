#include "cli/json_writer.hpp"

#include <gtest/gtest.h>

#include "cli_test_support.hpp"
#include "support/temp_folder.hpp"

namespace quill::cli {
namespace {

// Python's parser reads back what the writer wrote: every text arrives as
// given, and bytes that are not UTF-8 arrive as U+FFFD.
TEST(JsonWriter, PythonReadsBackEveryText) {
    std::string controls;
    for (int c = 1; c < 0x20; ++c) controls += static_cast<char>(c);
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"", ""},
        {"\"Anführung\" \\ / \x7f", "\"Anführung\" \\ / \x7f"},
        {controls, controls},
        {std::string("nul\0mitte", 9), std::string("nul\0mitte", 9)},
        {"a\xff"
         "b",
         "a\xEF\xBF\xBD"
         "b"},
        {"\xc3", "\xEF\xBF\xBD"},
        {"\xc0\xaf", "\xEF\xBF\xBD\xEF\xBF\xBD"},
        {"\xed\xa0\x80", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},
        {"\xf0\x9f\x98\x80 \xe2\x82\xac", "\xf0\x9f\x98\x80 \xe2\x82\xac"},
    };
    JsonWriter json;
    json.beginArray();
    for (const auto& entry : cases) json.beginObject().key(entry.first).string(entry.first).endObject();
    json.number(-12).boolean(false).endArray();

    const quill::test::TempFolder folder;
    const std::string path = folder.write("data.json", json.text());
    const char* script = R"PY(
import json, sys
data = json.load(open(sys.argv[1], encoding='utf-8'))
out = sys.stdout.buffer
for item in data[:-2]:
    (key, value), = item.items()
    out.write(key.encode('utf-8', 'surrogatepass') + b'\x01\x02' + value.encode('utf-8', 'surrogatepass') + b'\x03\x04')
out.write(repr(data[-2:]).encode())
)PY";
    const test::Outcome read = test::runProgram("/usr/bin/python3", {"-c", script, path});
    ASSERT_EQ(read.code, 0) << read.err << json.text();
    std::string expected;
    for (const auto& entry : cases) expected += entry.second + "\x01\x02" + entry.second + "\x03\x04";
    EXPECT_EQ(read.out, expected + "[-12, False]");
}

}  // namespace
}  // namespace quill::cli
