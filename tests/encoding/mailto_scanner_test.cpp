#include "encoding/mailto_scanner.hpp"

#include <gtest/gtest.h>

#include <array>
#include <random>

#include "encoding/mailto_texts.hpp"
#include "files/fault_injection.hpp"
#include "files/file_io.hpp"
#include "support/hook_scopes.hpp"
#include "support/temp_folder.hpp"
#include "text/string_list.hpp"

namespace quill {
namespace {

struct Delivery {
    std::string key;
    std::string results;
    std::string originalLine;
    bool operator==(const Delivery&) const = default;
};

// A scanner with the four mailto keys that records every delivery.
class Recorder {
public:
    Recorder() {
        for (const char* tag : {"a href=\"mailto:", "a HREF=\"mailto:", "A href=\"mailto:", "A HREF=\"mailto:"})
            parser.AddKey("mailto", tag, "<");
        parser.OnKeyFound = [this](THTMLParser& sender, const std::string& key, const std::string& results,
                                   const std::string& original) {
            EXPECT_EQ(&sender, &parser);
            deliveries.push_back({key, results, original});
        };
    }
    std::vector<std::string> results() const {
        std::vector<std::string> texts;
        for (const auto& d : deliveries) texts.push_back(d.results);
        return texts;
    }
    THTMLParser parser;
    std::vector<Delivery> deliveries;
};

TEST(FindFrom, PositionsCountFromOne) {
    struct Row {
        std::string pattern, text;
        std::int32_t start, expected;
    };
    const std::vector<Row> rows = {
        {"b", "abcb", 1, 2}, {"b", "abcb", 2, 2}, {"b", "abcb", 3, 4},   {"b", "abcb", 5, 0},
        {"B", "abcb", 1, 0}, {"", "abc", 1, 0},   {"a", "", 1, 0},       {"a", "abc", 0, 0},
        {"a", "abc", -3, 0}, {"bc", "abc", 2, 2}, {"abcd", "abc", 1, 0},
    };
    for (const auto& row : rows)
        EXPECT_EQ(FindFrom(row.pattern, row.text, row.start), row.expected) << row.pattern << " in " << row.text;
}

TEST(MailtoScanner, WhatIsFoundInAText) {
    struct Row {
        std::string name;
        std::string text;
        std::vector<std::string> expected;
    };
    const std::vector<Row> rows = {
        {"plain link", "<a href=\"mailto:x@y.de\">X</a>", {"x@y.de\">X"}},
        {"other spellings",
         "<a Href=\"mailto:a\">A</a><a href='mailto:b'>B</a><a  href=\"mailto:c\">C</a>"
         "<a href=\"MAILTO:d\">D</a><a hREF=\"mailto:e\">E</a>",
         {}},
        {"end of a word", "xa href=\"mailto:w\">W<", {"w\">W"}},
        {"area element", "<area href=\"mailto:m@n.de\" alt=\"Karte\"></map>", {"m@n.de\" alt=\"Karte\">"}},
        {"no < behind", "a href=\"mailto:tail", {""}},
        {"< right behind", "a href=\"mailto:<b>", {""}},
        {"two on a line across keys",
         "<A HREF=\"mailto:first\">1</A> <a href=\"mailto:second\">2</a>",
         {"first\">1", "second\">2"}},
        {"two open tags without <", "a href=\"mailto:p A href=\"mailto:q<", {"p A href=\"mailto:q", "q"}},
        {"same address twice", "<a href=\"mailto:s\">S</a><a href=\"mailto:s\">S</a>", {"s\">S", "s\">S"}},
        {"nothing to find", "<p>mailto:x@y.de</p>", {}},
        {"empty", "", {}},
    };
    for (const auto& row : rows) {
        Recorder recorder;
        recorder.parser.ParseText(row.text);
        EXPECT_EQ(recorder.results(), row.expected) << row.name;
        for (const auto& d : recorder.deliveries) {
            EXPECT_EQ(d.key, "mailto");
            EXPECT_EQ(d.originalLine, row.text);
        }
        EXPECT_EQ(recorder.parser.Tags().size(), row.expected.size()) << row.name;
    }
}

std::vector<std::array<std::int32_t, 5>> fieldsOf(const TTagInfoList& tags) {
    std::vector<std::array<std::int32_t, 5>> rows;
    for (const auto& t : tags) rows.push_back({t.OpenPos, t.EndPos, t.TextFrom, t.TextTo, t.KeyIndex});
    return rows;
}

TEST(MailtoScanner, HitRecordsSortedByOpenPosition) {
    THTMLParser parser;
    std::vector<std::pair<std::string, std::string>> delivered;
    parser.OnKeyFound = [&](THTMLParser&, const std::string& key, const std::string& results, const std::string&) {
        delivered.emplace_back(key, results);
    };
    parser.AddKey("square", "[", "]");
    parser.AddKey("round", "(", ")");
    parser.AddKey("inner", "x<", "<");  // its close tag lies inside the open tag
    parser.ParseText("(ab] [c] [d x<e<");
    const std::vector<std::array<std::int32_t, 5>> expected = {
        {1, 1, 2, 0, 1},  // no ")": EndPos is the close tag's length alone
        {6, 9, 7, 8, 0},
        {10, 1, 11, 0, 0},
        {13, 15, 15, 14, 2},  // close tag found at the open tag's own "<"
    };
    EXPECT_EQ(fieldsOf(parser.Tags()), expected);
    const std::vector<std::pair<std::string, std::string>> deliveries = {
        {"round", ""}, {"square", "c"}, {"square", ""}, {"inner", ""}};
    EXPECT_EQ(delivered, deliveries);
}

TEST(MailtoScanner, UnassignedEventStillFindsAndEmptyKeyListFindsNothing) {
    THTMLParser parser;
    parser.AddKey("k", "a href=\"mailto:", "<");
    parser.ParseText("a href=\"mailto:x<");
    EXPECT_EQ(parser.Tags().size(), 1u);
    parser.ClearKeys();
    EXPECT_EQ(parser.KeyCount(), 0u);
    parser.ParseText("a href=\"mailto:x<");
    EXPECT_TRUE(parser.Tags().empty());
}

TEST(MailtoScanner, FileIsScannedAsCrLfJoinedLinesUpToTheFirstNul) {
    test::TempFolder folder;
    struct Row {
        std::string bytes;
        std::vector<std::string> results;
        std::string original;
    };
    const std::vector<Row> rows = {
        {"<a href=\"mailto:x@y\">\nText</a>\n", {"x@y\">\r\nText"}, "<a href=\"mailto:x@y\">\r\nText</a>\r\n"},
        {"a href=\"mailto:p\"\r>q<\r\n", {"p\"\r\n>q"}, "a href=\"mailto:p\"\r\n>q<\r\n"},
        {std::string("a href=\"mailto:n\0<a href=\"mailto:m<", 33), {""}, "a href=\"mailto:n\r\n"},
        {"", {}, ""},
    };
    for (const auto& row : rows) {
        const std::string path = folder.write("page.html", row.bytes);
        Recorder recorder;
        recorder.parser.setFileName(path);
        recorder.deliveries.clear();
        recorder.parser.ParseFile();
        EXPECT_EQ(recorder.results(), row.results);
        for (const auto& d : recorder.deliveries) EXPECT_EQ(d.originalLine, row.original);
    }
}

TEST(MailtoScanner, ANewPathIsScannedAtOnceAndAnEqualPathNot) {
    test::TempFolder folder;
    const std::string first = folder.write("a.html", "<a href=\"mailto:a\">A</a>");
    const std::string second = folder.write("b.html", "<a href=\"mailto:b\">B</a>");
    Recorder recorder;
    recorder.parser.setFileName(first);
    recorder.parser.ParseFile();
    EXPECT_EQ(recorder.results(), (std::vector<std::string>{"a\">A", "a\">A"}));
    recorder.deliveries.clear();
    recorder.parser.setFileName(first);
    recorder.parser.ParseFile();
    EXPECT_EQ(recorder.results(), (std::vector<std::string>{"a\">A"}));
    recorder.deliveries.clear();
    recorder.parser.setFileName(second);
    EXPECT_EQ(recorder.results(), (std::vector<std::string>{"b\">B"}));
    EXPECT_EQ(recorder.parser.FileName(), second);
}

TEST(MailtoScanner, MissingFileIsSkippedAndAnUnreadableOneRaisesTheOpenError) {
    test::TempFolder folder;
    Recorder recorder;
    recorder.parser.setFileName(folder.file("missing.html"));
    recorder.parser.ParseFile();
    recorder.parser.setFileName(folder.path());  // a folder is no file either
    EXPECT_TRUE(recorder.deliveries.empty());

    const std::string path = folder.write("held.html", "<a href=\"mailto:a\">A</a>");
    recorder.parser.ParseText("a href=\"mailto:before<");
    std::string message;
    {
        const test::FileFaultScope fault(
            [](files::FileStep step, const std::string&) { return step == files::FileStep::OpenRead ? EACCES : 0; });
        try {
            recorder.parser.setFileName(path);
        } catch (const files::FileOpenError& error) {
            message = error.what();
        }
    }
    EXPECT_EQ(message, files::openErrorText(path, EACCES));
    EXPECT_EQ(recorder.parser.FileName(), path);
    EXPECT_EQ(recorder.parser.Tags().size(), 1u);  // the earlier scan's hits stay
    EXPECT_EQ(recorder.results(), (std::vector<std::string>{"before"}));
}

// The runs read found texts from a page's bytes directly; they must be
// exactly what the scanner with the four keys delivers from its line list.
TEST(MailtoTexts, SameAsTheScannerOverTheLineList) {
    std::mt19937 random(11);
    const std::vector<std::string> pieces = {"<a href=\"mailto:",
                                             "A HREF=\"mailto:",
                                             "a HREF=\"mailto:",
                                             "a Href=\"mailto:",
                                             "=\"mailto:",
                                             "href",
                                             "a@b.de",
                                             "\">",
                                             "<",
                                             "x",
                                             "\r\n",
                                             "\n",
                                             "\r",
                                             std::string(1, '\0'),
                                             "\xe4",
                                             "a ",
                                             "A",
                                             "<script>",
                                             "</script\r>",
                                             "</SCRIPT>",
                                             "<style\n>",
                                             "</style>",
                                             "<![CDATA[",
                                             "]]>",
                                             "<svg>",
                                             "<!--",
                                             "-->"};
    for (int round = 0; round < 3000; ++round) {
        std::string page;
        for (std::size_t i = random() % 24; i > 0; --i) page += pieces[random() % pieces.size()];
        Recorder recorder;
        recorder.parser.SkipRawText = true;
        recorder.parser.ParseText(crlfLines(page));
        ASSERT_EQ(mailtoTexts(page), recorder.results()) << testing::PrintToString(page);
    }
}

}  // namespace
}  // namespace quill
