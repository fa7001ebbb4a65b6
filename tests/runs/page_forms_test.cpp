#include <gtest/gtest.h>
#include <iconv.h>

#include <regex>

#include "addresses/page_addresses.hpp"
#include "html/html_regions.hpp"
#include "runs/local_run.hpp"
#include "support/temp_folder.hpp"

namespace quill {
namespace {

// UTF-8 text in another encoding, as a page in that encoding holds it.
std::string encodedAs(const char* encoding, const std::string& utf8) {
    const iconv_t converter = ::iconv_open(encoding, "UTF-8");
    std::string out(utf8.size() * 4, '\0');
    char* in = const_cast<char*>(utf8.data());
    std::size_t inLeft = utf8.size();
    char* at = out.data();
    std::size_t outLeft = out.size();
    const std::size_t done = ::iconv(converter, &in, &inLeft, &at, &outLeft);
    ::iconv_close(converter);
    EXPECT_NE(done, static_cast<std::size_t>(-1)) << encoding;
    out.resize(out.size() - outLeft);
    return out;
}

// What a reader meets: the characters of every text and attribute value.
std::u32string shownText(const std::string& page) {
    const PageAddresses addresses(page);
    std::u32string text;
    for (const HtmlRegion& region : addresses.regions()) {
        if (region.kind != RegionKind::Text && region.kind != RegionKind::AttributeValue) continue;
        for (const ShownCharacter& c : addresses.shownCharacters(region)) text += c.code;
        text += U'|';
    }
    return text;
}

// Scripts, styles and CDATA sections as their bytes stand.
std::vector<std::string> rawTexts(const std::string& page) {
    std::vector<std::string> texts;
    for (const ByteRange& range : rawTextRanges(page))
        texts.push_back(page.substr(range.begin, range.end - range.begin));
    return texts;
}

struct Page {
    std::string name;
    std::string bytes;
};

struct Form {
    const char* what;
    std::vector<Page> pages;
    // Besides reading and running as before, the run must have changed this
    // page (or, if not, left it byte for byte).
    bool changed;
};

// The forms real pages hold: every page reads the same to a browser after a
// run, with and without the option, and no script, style or CDATA section
// loses a byte.
TEST(PageForms, ReadAndRunAsBeforeAfterEveryRun) {
    const std::string link = "<a href=\"mailto:info@firma.de\">info@firma.de</a>";
    const std::vector<Form> forms = {
        {"';' right after an address",
         {{"semicolon.html", "<p>" + link +
                                 "; Fax <a href=\"mailto:x@y.de\">x@y.de</a>;2</p>"
                                 "<i title=\"Mail: a@x.org; Tel.\">anna@x.org;bert@x.org</i>"}},
         true},
        {"script-built link",
         {{"script.html", link + "<script>el.innerHTML = '<a href=\"mailto:' + u + '@' + d + '\">Schreiben</a>';"
                                 "if (a.protocol === \"mailto:\") {}</script>"}},
         true},
        {"style rule and JSON-LD",
         {{"style.html", "<style>a[href^=\"mailto:\"]::after{content:\" \xe2\x9c\x89\"}</style>" + link +
                             "<script type=\"application/ld+json\">{\"email\":\"mailto:info@firma.de\"}</script>"}},
         true},
        {"CDATA in SVG", {{"svg.html", link + "<svg><text><![CDATA[mailto:info@firma.de > x]]></text></svg>"}}, true},
        {"letter case across two files",
         {{"upper.html", "<a href=\"mailto:USER@DOMAIN.DE\">USER@DOMAIN.DE</a> MAILTO:"},
          {"lower.html",
           "<p>user@domain.de\">user@domain.de</p> Links mit MAILTO: \xf6"
           "ffnen"}},
         true},
        {"XHTML",
         {{"page.xhtml",
           "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<html xmlns=\"http://www.w3.org/1999/xhtml\"><body>" + link +
               " 1 <a href=\"mailto:b@c.de?subject=a&amp;b\">b@c.de</a>; a@b.de</body></html>"}},
         true},
        {"Shift_JIS",
         {{"sjis.html", encodedAs("SHIFT_JIS",
                                  "<meta charset=\"shift_jis\"><a href=\"mailto:info@firma.jp\">"
                                  "\xe3\x81\x8a\xe5\x95\x8f\xe3\x81\x84\xe5\x90\x88\xe3\x82\x8f\xe3\x81\x9b</a>"
                                  " \xe5\xb1\xb1\xe7\x94\xb0 yamada@firma.jp")}},
         true},
        {"EUC-KR",
         {{"euckr.html", encodedAs("EUC-KR",
                                   "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=euc-kr\">"
                                   "<a href=\"mailto:kim@firma.kr\">\xea\xb9\x80 \xed\x95\x9c\xea\xb8\x80</a>")}},
         true},
        {"ISO-8859-2",
         {{"latin2.html", encodedAs("ISO-8859-2",
                                    "<meta charset=\"iso-8859-2\"><a href=\"mailto:\xc5\x82ukasz@"
                                    "\xc5\x82\xc3\xb3"
                                    "d\xc5\xba.pl\">\xc5\x81ukasz \xc5\xbb\xc3\xb3\xc5\x82\xc4\x87</a>")}},
         true},
        {"an encoding that cannot be read", {{"kr.html", "<meta charset=\"iso-2022-kr\">" + link}}, false},
    };
    for (const bool option : {false, true}) {
        for (const Form& form : forms) {
            SCOPED_TRACE(std::string(form.what) + (option ? " with the option" : ""));
            test::TempFolder folder;
            StringList paths;
            for (const Page& page : form.pages) paths.push_back(folder.write(page.name, page.bytes));
            LocalRunParameters run = LocalRunParameters::over(paths);
            run.protectAll = option;
            const LocalRunResult result = runLocalEncoding(run);
            const RunOutcome& outcome = result.outcome;
            for (const std::string& found : result.foundTexts)
                EXPECT_EQ(found.find('\''), std::string::npos) << "taken from a script: " << found;
            for (std::size_t i = 0; i < form.pages.size(); ++i) {
                const std::string& before = form.pages[i].bytes;
                const std::string after = test::readFile(paths[i]);
                EXPECT_EQ(after != before, form.changed) << form.pages[i].name;
                EXPECT_TRUE(shownText(after) == shownText(before)) << form.pages[i].name << ": " << after;
                EXPECT_EQ(rawTexts(after), rawTexts(before)) << form.pages[i].name;
                if (form.pages[i].name.ends_with(".xhtml")) {
                    EXPECT_FALSE(std::regex_search(after, std::regex("&#[0-9]+([^0-9;]|$)"))) << after;
                }
            }
            if (!form.changed) {
                EXPECT_NE(outcome.text.find(form.pages[0].name + " (replacement)"), std::string::npos) << outcome.text;
            }
        }
    }
}

}  // namespace
}  // namespace quill
