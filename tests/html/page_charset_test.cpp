#include <gtest/gtest.h>

#include "html/page_charset.hpp"

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
        {"<meta content=\"text/html; charset=utf-8\">", cp1252},          // no http-equiv: no declaration
        {"<meta http-equiv=\"Content-Type\" content=\"text/html\">" + umlautUtf8, utf8},  // names none
        {"<meta charset=\"iso-8859-1\">" + umlautUtf8, cp1252},
        {"<meta http-equiv=\"content-type\" content=\"text/html; charset=windows-1252\">" + umlautUtf8, cp1252},
        {"<meta charset=\"utf-16\">", utf8},  // read as UTF-8 by browsers
        {"<!-- <meta charset=\"iso-8859-1\"> --><meta charset=\"utf-8\">", utf8},
        {"<metadata charset=\"utf-8\">", cp1252},
        {"<html><head><meta name=\"x\" content=\"y\"><meta charset=utf-8>", utf8},
        {padding + "<meta charset=\"utf-8\">", cp1252},  // too far in
        {padding + "<meta charset=\"iso-8859-1\">" + umlautUtf8, utf8},
        {"\xc3\xbc\xc3", cp1252},          // cut sequence
        {"\xc0\xbc", cp1252},              // overlong
        {"\xed\xa0\x80", cp1252},          // surrogate
        {"\xf4\x90\x80\x80", cp1252},      // beyond U+10FFFF
        {"\xf0\x9f\x98\x80 \xe2\x80\x93", utf8},
    };
    for (const auto& [page, expected] : rows) EXPECT_EQ(detectPageCharset(page), expected) << page;
}

}  // namespace
}  // namespace quill
