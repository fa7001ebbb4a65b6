#include "addresses/address_audit.hpp"

#include <gtest/gtest.h>

#include <random>

#include "files/file_io.hpp"
#include "support/temp_folder.hpp"
#include "text/cp1252.hpp"

namespace quill {
namespace {

struct Hit {
    std::string address;
    ReadableKind kind;
    std::string written;  // how the address stands in the page; its place gives the column
};

struct Form {
    std::string name;
    std::string page;
    std::vector<Hit> hits;
};

const char* kindName(ReadableKind kind) {
    switch (kind) {
        case ReadableKind::Text:
            return "text";
        case ReadableKind::Link:
            return "link";
        case ReadableKind::Attribute:
            return "attribute";
        case ReadableKind::Script:
            return "script";
    }
    return "?";
}

// Each form is one line; a hit's column is where its written form stands.
TEST(AddressAudit, FindsEveryReadableFormAndNothingElse) {
    const std::string encodedMailto = "&#109&#97&#105&#108&#116&#111&#58";
    const std::string encodedInfo = "&#105&#110&#102&#111&#64&#101&#120&#46&#100&#101";  // info@ex.de
    using K = ReadableKind;
    const std::vector<Form> forms = {
        {"plain text", "<p>Impressum: info@example.de</p>", {{"info@example.de", K::Text, "info@example.de"}}},
        {"sentence end", "Mail: a.b@example.co.uk.", {{"a.b@example.co.uk", K::Text, "a.b@example.co.uk"}}},
        {"comment", "<!-- alt: c@example.de -->", {{"c@example.de", K::Text, "c@example.de"}}},
        {"title", "<title>t@example.de</title>", {{"t@example.de", K::Text, "t@example.de"}}},
        {"other attribute order",
         "<a class=\"btn\" href=\"mailto:jobs@example.de\">Stellen</a>",
         {{"jobs@example.de", K::Link, "jobs@example.de"}}},
        {"single quotes",
         "<a href='mailto:azubi@example.de'>Azubi</a>",
         {{"azubi@example.de", K::Link, "azubi@example.de"}}},
        {"no quotes", "<a href=mailto:nq@example.de>x</a>", {{"nq@example.de", K::Link, "nq@example.de"}}},
        {"capitals", "<A HREF=\"MAILTO:caps@example.de\">x</A>", {{"caps@example.de", K::Link, "caps@example.de"}}},
        {"area",
         "<area shape=rect href=\"mailto:area@example.de\">",
         {{"area@example.de", K::Link, "area@example.de"}}},
        {"form", "<form action=\" Mailto:f@example.de?subject=x\">", {{"f@example.de", K::Link, "f@example.de"}}},
        {"only mailto encoded",
         "<a class=\"b\" href=\"" + encodedMailto + "jobs@example.de\">J</a>",
         {{"jobs@example.de", K::Link, "jobs@example.de"}}},
        {"link and its text",
         "<a href=\"mailto:v@example.de\">v@example.de</a>",
         {{"v@example.de", K::Link, "v@example.de\""}, {"v@example.de", K::Text, "v@example.de<"}}},
        {"title attribute", "<img title=\"x@y.de\" src=\"a.png\">", {{"x@y.de", K::Attribute, "x@y.de"}}},
        {"script string",
         "<script>var m = \"js@example.de\"; // @import</script>",
         {{"js@example.de", K::Script, "js@example.de"}}},
        {"style block",
         "<style>/* css@example.de */ @import url(a.css); @media print {}</style>",
         {{"css@example.de", K::Script, "css@example.de"}}},
        {"text after a script", "<script>x<y</script>after@example.de", {{"after@example.de", K::Text, "after@"}}},
        {"numeric at sign", "info&#64;example.de", {{"info@example.de", K::Text, "info&#64;"}}},
        {"hexadecimal at sign", "info&#x40;example.de", {{"info@example.de", K::Text, "info&#x40;"}}},
        {"named at sign", "info&commat;example.de", {{"info@example.de", K::Text, "info&commat;"}}},
        {"references in script stay literal",
         "<script>a&#64;b.de z@example.de</script>",
         {{"z@example.de", K::Script, "z@example.de"}}},
        {"user at localhost", "user@localhost and root@server", {}},
        {"no dot", "a@b", {}},
        {"one-letter top-level name", "a@b.c", {}},
        {"at-rules", "<style>@media print{} @import \"x.css\";</style> @media", {}},
        {"file name", "<img src=\"logo@2x.png\"> icon@3x.svg", {}},
        {"fully encoded text", "Mail: " + encodedInfo, {}},
        {"fully encoded link", "<a href=\"" + encodedMailto + encodedInfo + "\">" + encodedInfo + "</a>", {}},
        {"split by CR LF", "info@exam\r\nple.de", {}},
        {"split after the point", "info@example.\nde", {}},
        {"split after the at sign", "info@\rexample.de", {}},
    };
    for (const Form& form : forms) {
        const std::vector<ReadableAddress> found = auditText(form.page, "p.html");
        ASSERT_EQ(found.size(), form.hits.size()) << form.name;
        for (std::size_t i = 0; i < found.size(); ++i) {
            const Hit& hit = form.hits[i];
            EXPECT_EQ(found[i].address, hit.address) << form.name;
            EXPECT_STREQ(kindName(found[i].kind), kindName(hit.kind)) << form.name;
            EXPECT_EQ(found[i].path, "p.html");
            EXPECT_EQ(found[i].line, 1) << form.name;
            const std::size_t at = form.page.find(hit.written);
            ASSERT_NE(at, std::string::npos) << form.name;
            EXPECT_EQ(found[i].column, static_cast<int>(at) + 1) << form.name;
        }
    }
}

TEST(AddressAudit, PositionsCountLinesAndCharactersOfThePage) {
    // Three kinds of line end, and characters of two bytes before the hit:
    // a column counts what an editor shows, not bytes.
    const std::string page =
        "a\r\nb\rc\n\xC3\xA4\xC3\xB6 m\xC3\xBCller@b\xC3\xA4"
        "cker.de";
    const std::vector<ReadableAddress> found = auditText(page, "u.html");
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].line, 4);
    EXPECT_EQ(found[0].column, 4);
    EXPECT_EQ(found[0].address,
              "m\xC3\xBCller@b\xC3\xA4"
              "cker.de");

    // The same page in code page 1252: the address comes back as UTF-8.
    const std::vector<ReadableAddress> ansi = auditText(
        "x\n\xE4 m\xFCller@b\xE4"
        "cker.de",
        "w.html");
    ASSERT_EQ(ansi.size(), 1u);
    EXPECT_EQ(ansi[0].line, 2);
    EXPECT_EQ(ansi[0].column, 3);
    EXPECT_EQ(ansi[0].address,
              "m\xC3\xBCller@b\xC3\xA4"
              "cker.de");
}

TEST(AddressAudit, FilesInListOrderEachOnceMissingOnesPassedOver) {
    test::TempFolder folder;
    const std::string a = folder.write("a.html", "x@example.de");
    const std::string b = folder.write("b.html", "<a href='mailto:y@example.de'>y</a>");
    const std::vector<ReadableAddress> found = auditFiles({b, folder.file("gone.html"), a, b});
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].path, b);
    EXPECT_EQ(found[0].address, "y@example.de");
    EXPECT_EQ(found[1].path, a);
    EXPECT_EQ(found[1].address, "x@example.de");
}

// The audit passes over regions in which no "@" can show. Against every
// region read in full, on pages mixing "@" in every written form with
// places where references are or are not read.
TEST(AddressAudit, RegionsPassedOverHoldNoAddress) {
    std::mt19937 random(23);
    const std::vector<std::string> pieces = {"info",
                                             "@",
                                             "&#64;",
                                             "&#x40",
                                             "&#0064;",
                                             "&commat;",
                                             "&commat",
                                             "&COMMAT;",
                                             "&amp;",
                                             "&#",
                                             "&c",
                                             "ex.de",
                                             ".org",
                                             " ",
                                             "\r\n",
                                             "<p>",
                                             "</p>",
                                             "<a href=\"mailto:",
                                             "<a title='",
                                             "'>",
                                             "\">",
                                             "<script>",
                                             "</script>",
                                             "<style>",
                                             "<!--",
                                             "-->",
                                             "<![CDATA[",
                                             "]]>",
                                             "<title>",
                                             "</title>",
                                             "\xc3\xa4",
                                             "\xe4",
                                             "<meta charset=\"windows-1252\">",
                                             "<meta charset=\"shift_jis\">"};
    for (int round = 0; round < 3000; ++round) {
        std::string page;
        for (std::size_t i = random() % 40; i > 0; --i) page += pieces[random() % pieces.size()];
        std::vector<std::string> everyRegion;
        const PageDecoder decoder(readableEncoding(page));
        for (const HtmlRegion& region : htmlRegions(page)) {
            if (region.kind == RegionKind::StartTag) continue;
            const ReferenceContext context = region.kind == RegionKind::AttributeValue ? ReferenceContext::Attribute
                                             : region.kind == RegionKind::RawText      ? ReferenceContext::None
                                                                                       : ReferenceContext::Text;
            const auto shown = shownCharacters(page, region.begin, region.end, decoder, context);
            std::u32string codes;
            for (const ShownCharacter& c : shown) codes += c.code;
            for (const AddressSpan& span : findAddresses(codes)) {
                bool literal = false;
                for (std::size_t i = span.first; i < span.end; ++i) literal = literal || !shown[i].reference;
                if (literal) everyRegion.push_back(codePointsToUtf8(codes.substr(span.first, span.end - span.first)));
            }
        }
        std::vector<std::string> audited;
        for (const ReadableAddress& hit : auditText(page, "p.html")) audited.push_back(hit.address);
        ASSERT_EQ(audited, everyRegion) << testing::PrintToString(page);
    }
}

}  // namespace
}  // namespace quill
