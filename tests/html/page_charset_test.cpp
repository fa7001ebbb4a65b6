#include "html/page_charset.hpp"

#include <gtest/gtest.h>

#include "html/page_decoder.hpp"

namespace quill {
namespace {

TEST(PageCharset, DecidedByMarkThenDeclarationThenContent) {
    constexpr auto utf8 = PageCharset::Utf8;
    constexpr auto cp1252 = PageCharset::Windows1252;
    const std::string umlautUtf8 = "<p>M\xc3\xbcller</p>";
    const std::string umlaut1252 = "<p>M\xfcller</p>";
    const std::string padding(1100, ' ');
    const std::vector<std::pair<std::string, PageCharset>> rows = {
        {"", cp1252},
        {"<p>plain ASCII</p>", cp1252},
        {umlautUtf8, utf8},
        {umlaut1252, cp1252},
        {"\xef\xbb\xbf<p>ASCII after the mark</p>", utf8},
        {"\xef\xbb\xbf<meta charset=\"windows-1252\">" + umlaut1252, utf8},
        {"<meta charset=\"UTF-8\"><p>ASCII</p>", utf8},
        {"<META CHARSET=utf8>" + umlaut1252, utf8},
        {"<meta charset='utf-8'/>", utf8},
        {"<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">", utf8},
        {"<meta content='text/html;charset=\"UTF-8\"' http-equiv=content-type>", utf8},
        {"<meta content=\"text/html; charset=utf-8\">", cp1252},  // no http-equiv: no declaration
        {"<meta http-equiv=\"Content-Type\" content=\"text/html\">" + umlautUtf8, utf8},  // names none
        {"<meta charset=\"iso-8859-1\">" + umlautUtf8, cp1252},
        {"<meta http-equiv=\"content-type\" content=\"text/html; charset=windows-1252\">" + umlautUtf8, cp1252},
        {"<meta charset=\"utf-16\">", utf8},  // read as UTF-8 by browsers
        {"<!-- <meta charset=\"iso-8859-1\"> --><meta charset=\"utf-8\">", utf8},
        {"<metadata charset=\"utf-8\">", cp1252},
        {"<html><head><meta name=\"x\" content=\"y\"><meta charset=utf-8>", utf8},
        {padding + "<meta charset=\"utf-8\">", cp1252},  // too far in
        {padding + "<meta charset=\"iso-8859-1\">" + umlautUtf8, utf8},
        {"\xc3\xbc\xc3", cp1252},      // cut sequence
        {"\xc0\xbc", cp1252},          // overlong
        {"\xed\xa0\x80", cp1252},      // surrogate
        {"\xf4\x90\x80\x80", cp1252},  // beyond U+10FFFF
        {"\xf0\x9f\x98\x80 \xe2\x80\x93", utf8},
    };
    for (const auto& [page, expected] : rows) EXPECT_EQ(detectPageCharset(page), expected) << page;
}

TEST(PageEncoding, EveryLabelBrowsersKnowAndXmlDocuments) {
    struct Row {
        std::string page;
        std::string fileName;
        std::string name;
        bool readable;
        bool xml;
    };
    const std::vector<Row> rows = {
        {"<meta charset=\"Shift_JIS\">", "a.html", "Shift_JIS", true, false},
        {"<meta http-equiv=\"Content-Type\" content=\"text/html; charset=euc-kr\">", "a.htm", "EUC-KR", true, false},
        {"<META CHARSET=\" latin2 \">", "a.html", "ISO-8859-2", true, false},
        {"<meta charset=koi8-r>", "a.html", "KOI8-R", true, false},
        {"<meta charset=gb2312>", "a.html", "GBK", true, false},
        {"<meta charset=big5>", "a.html", "Big5", true, false},
        {"<meta charset=\"us-ascii\">\xe4", "a.html", "windows-1252", true, false},
        {"<meta charset=x-user-defined>", "a.html", "windows-1252", true, false},
        // A label browsers do not know is passed over, the next one counts.
        {"<meta charset=\"klingon\"><meta charset=\"iso-8859-15\">", "a.html", "ISO-8859-15", true, false},
        {"<meta charset=\"klingon\">\xc3\xa4", "a.html", "UTF-8", true, false},
        // Known to browsers, but not readable here: left as it is.
        {"<meta charset=\"iso-2022-kr\">", "a.html", "replacement", false, false},
        {"<meta charset=\"iso-2022-jp\">", "a.html", "ISO-2022-JP", false, false},
        {"\xff\xfe<\0p\0>\0", "a.html", "UTF-16LE", false, false},
        // XML documents: by their start or their name; the declaration names the encoding.
        {"\xef\xbb\xbf \r\n<?xml version=\"1.0\"?><html/>", "a.html", "UTF-8", true, true},
        {"<?xml version='1.0' encoding='EUC-JP'?><html/>", "a.html", "EUC-JP", true, true},
        {"<html xmlns=\"http://www.w3.org/1999/xhtml\"/>", "dir/A.XHTML", "windows-1252", true, true},
        {"<html/>", "a.xht", "windows-1252", true, true},
        {"<p>?xml</p>", "a.xhtml.bak", "windows-1252", true, false},
    };
    for (const Row& row : rows) {
        const PageEncoding encoding = detectPageEncoding(row.page, row.fileName);
        EXPECT_EQ(encoding.name, row.name) << row.page;
        EXPECT_EQ(PageDecoder(encoding).readable(), row.readable) << row.page;
        EXPECT_EQ(encoding.xml, row.xml) << row.page;
    }
}

// Characters of the multi-byte encodings as iconv reads them; bytes that form
// none are no character.
TEST(PageDecoder, ReadsEachCharacterWithItsLength) {
    struct Row {
        const char* label;
        std::string bytes;
        std::u32string characters;  // U+FFFD for each byte that forms none
    };
    const std::vector<Row> rows = {
        {"shift_jis", "a\x82\xa0\x83\x41\x5c", U"a\u3042\u30a2\\"},
        {"euc-kr", "\xc7\xd1x\xb1\xdb", U"\ud55cx\uae00"},
        {"iso-8859-2",
         "\xb3\xf3"
         "d\xbc",
         U"\u0142\u00f3d\u017a"},
        {"gb18030", "\x81\x30\x81\x30\xd6\xd0", U"\u0080\u4e2d"},
        {"big5", "\xa4\xa4\xff", U"\u4e2d\ufffd"},
        {"koi8-r", "\xf0\xd2\xc9", U"\u041f\u0440\u0438"},
    };
    for (const Row& row : rows) {
        PageEncoding encoding = detectPageEncoding(std::string("<meta charset=") + row.label + ">");
        const PageDecoder decoder(encoding);
        std::u32string read;
        for (std::size_t at = 0; at < row.bytes.size();) {
            char32_t first = 0;
            char32_t second = 0;
            const std::size_t length = decoder.decodeAt(row.bytes, at, first, second);
            read += length == 0 ? U'\ufffd' : first;
            at += length == 0 ? 1 : length;
        }
        EXPECT_EQ(read, row.characters) << row.label;
    }
}

}  // namespace
}  // namespace quill
