#include "ftp/ftp_reply.hpp"

#include <gtest/gtest.h>

#include "net/ftp_errors.hpp"

namespace quill::ftp {
namespace {

TEST(FtpReply, EndLines) {
    const std::pair<const char*, bool> cases[] = {
        {"220 Ready", true},   {"220", true},    {"22", true},      {"0", true},
        {"220-Hello", false},  {"22 ok", false}, {"2200 x", false}, {"abc def", false},
        {"", false},           {" 22 x", true},  {"$1F x", true},   {"220\tx", false},
        {"  indented", false}, {"x22", true},    {"y22", false},    {"+22 x", true},
    };
    for (const auto& [line, end] : cases) EXPECT_EQ(isReplyEndLine(line), end) << "'" << line << "'";
}

struct ParseCase {
    StringList lines;
    const char* code;
    int numeric;
    StringList text;
    TReplyFormat format;
};

TEST(FtpReply, ParsesCodeAndTextLines) {
    const ParseCase cases[] = {
        {{"220 Ready"}, "220", 220, {"Ready"}, rfNormal},
        {{"220"}, "220", 220, {""}, rfNormal},
        {{"220-Hello", "220 Ready"}, "220", 220, {"Hello", "Ready"}, rfNormal},
        {{"220-Hello", "  indented", "220 Ready"}, "220", 220, {"Hello", "indented", "Ready"}, rfIndentMidLines},
        {{"211-Features:", " SIZE", "211 End"}, "211", 211, {"Features:", "SIZE", "End"}, rfIndentMidLines},
        {{"220-Hello", "230 x"}, "220", 220, {"Hello", "230 x"}, rfNormal},
        {{"220-Hello", "middle", "220-more", "220 end"}, "220", 220, {"Hello", "middle", "more", "end"}, rfNormal},
        {{"$FF-a", "$ff b"}, "$FF", 255, {"a", "b"}, rfNormal},
        {{"    x"}, "", 0, {"x"}, rfNormal},
    };
    for (const auto& c : cases) {
        try {
            const TFTPReply reply = parseReplyLines(c.lines);
            EXPECT_EQ(reply.Code, c.code) << c.lines.front();
            EXPECT_EQ(reply.NumericCode, c.numeric) << c.lines.front();
            EXPECT_EQ(reply.Text, c.text) << c.lines.front();
            EXPECT_EQ(reply.ReplyFormat, c.format) << c.lines.front();
        } catch (const EFTPError& e) {
            ADD_FAILURE() << c.lines.front() << ": " << e.what();
        }
    }
}

TEST(FtpReply, RefusesCodesOutsideTheRange) {
    const std::pair<StringList, const char*> cases[] = {
        {{"099 x"}, "Reply Code is not valid: 099"},   {{"22 ok", "220 fine"}, "Reply Code is not valid: 22 o"},
        {{"1000 x"}, "Reply Code is not valid: 1000"}, {{"abc x"}, "Reply Code is not valid: abc"},
        {{"-5 x"}, "Reply Code is not valid: -5 x"},
    };
    for (const auto& [lines, message] : cases) {
        try {
            parseReplyLines(lines);
            ADD_FAILURE() << lines.front() << " accepted";
        } catch (const EInvalidReplyCode& e) {
            EXPECT_STREQ(e.what(), message);
        }
    }
}

TEST(FtpReply, CheckAcceptsAllowedCodesAndReportsOthersWithTheirText) {
    TFTPReply reply;
    reply.Code = "530";
    reply.NumericCode = 530;
    reply.Text = {"Login incorrect.", "Bye"};
    EXPECT_NO_THROW(checkReply(reply, {}));
    EXPECT_NO_THROW(checkReply(reply, {230, 530}));
    try {
        checkReply(reply, {230});
        FAIL() << "530 accepted";
    } catch (const EReplyError& e) {
        EXPECT_STREQ(e.what(), "Login incorrect.\r\nBye\r\n");
        EXPECT_EQ(e.code(), 530);
    }
}

TEST(FtpReply, TrimsBlanksAndControlBytes) {
    EXPECT_EQ(trimBlanks(std::string_view("\t\r x y \r\n\0", 10)), "x y");
    EXPECT_EQ(trimBlanks("   "), "");
    EXPECT_EQ(trimLeftBlanks("  a b  "), "a b  ");
}

}  // namespace
}  // namespace quill::ftp
