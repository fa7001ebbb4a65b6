#include <gtest/gtest.h>

#include <cstdio>

#include "addresses/address_audit.hpp"
#include "html/char_reference.hpp"
#include "support/temp_folder.hpp"

namespace quill {
namespace {

TEST(AddressProtection, EncodesWhatTheAuditFindsButScripts) {
    struct Row {
        std::string page;
        std::string expected;
    };
    const std::string xy = fullEncoding("x@y.de");
    const std::string mailtoXy = fullEncoding("mailto:x@y.de");
    const std::vector<Row> rows = {
        {"<p>Mail: x@y.de.</p>", "<p>Mail: " + xy + ".</p>"},
        {"info&#64;y.de", fullEncoding("info@y.de")},
        {"<img title=\"an x@y.de\">", "<img title=\"an " + xy + "\">"},
        {"<a class=b href='mailto:x@y.de'>Schreib mir\r\nbitte</a>",
         "<a class=b href='" + mailtoXy + "'>" + fullEncoding("Schreib") + " " + fullEncoding("mir") + "\r\n" +
             fullEncoding("bitte") + "</a>"},
        {"<a href=MAILTO:x@y.de?subject=Hi&amp;body=1 title=t>A&amp;B</a>",
         "<a href=" + fullEncoding("MAILTO:x@y.de?subject=Hi&body=1") + " title=t>" + fullEncoding("A&B") + "</a>"},
        {"<form action=\"mailto:x@y.de\">Text</form>", "<form action=\"" + mailtoXy + "\">Text</form>"},
        {"<script>s='x@y.de'</script><style>/*x@y.de*/</style>",
         "<script>s='x@y.de'</script><style>/*x@y.de*/</style>"},
        {"\xE4 m\xFCller@y.de", "\xE4 &#109&#252&#108&#108&#101&#114&#64&#121&#46&#100&#101"},
        {"\xC3\xA4 \xE2\x82\xACu@y.de \xC3\xBC@y.de",
         "\xC3\xA4 \xE2\x82\xAC" + fullEncoding("u@y.de") + " &#252" + fullEncoding("@y.de")},
        {"user@localhost <a href=\"#\">a@b</a>", "user@localhost <a href=\"#\">a@b</a>"},
        // A ";" behind an address is no reference's end.
        {"x@y.de;x@y.de; <i title=\"x@y.de; 1\">", xy + ";;" + xy + ";; <i title=\"" + xy + ";; 1\">"},
    };
    for (const Row& row : rows) EXPECT_EQ(protectAllAddresses(row.page), row.expected) << row.page;
}

// What /usr/bin/python3's HTML parser makes of a page: tags with their
// attribute values, and texts, with every reference decoded.
std::string browserView(const test::TempFolder& folder, const std::string& page, const char* charset) {
    const std::string path = folder.write("view.html", page);
    const std::string command =
        std::string("/usr/bin/python3 '") + QUILL_PAGE_VIEW_SCRIPT + "' '" + path + "' " + charset;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) return "no python";
    std::string out;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
    const int status = ::pclose(pipe);
    return status == 0 ? out : "python failed: " + out;
}

// Pages as sites write them; after the option's transform a browser shows
// and links the same, and only script addresses stay readable.
TEST(AddressProtection, PagesLookAndLinkAsBeforeAndOnlyScriptsStayReadable) {
    struct Page {
        std::string bytes;
        const char* charset;
    };
    const std::vector<Page> pages = {
        {"<!DOCTYPE html>\r\n<html><head><title>Kontakt info@example.de</title>\r\n"
         "<style>@import url(a.css); /* webmaster@example.de */</style>\r\n"
         "<script>var a = 'script@example.de'; if (1 < 2) {}</script></head>\r\n"
         "<body><p class=\"impressum\">Verantwortlich: Max M&uuml;ller, max.mueller@example.de</p>\r\n"
         "<a class=\"btn\" href=\"mailto:jobs@example.de?subject=Bewerbung&amp;cc=hr@example.de\">Jobs &amp; "
         "Karriere</a>\r\n"
         "<a href='mailto:azubi@example.de'><img src=\"logo@2x.png\" alt=\"azubi@example.de\"></a>\r\n"
         "<a href=\"&#109&#97&#105&#108&#116&#111&#58half@example.de\">half@example.de</a>\r\n"
         "<span title=\"Fragen? support@example.de\" data-x=a@b>5 &lt; 6</span> info&#64;example.de\r\n"
         "<textarea>Text an text@example.de</textarea><!-- alt: old@example.de -->\r\n"
         "<form action=MAILTO:form@example.de method=post><input value=\"x@y.de\"></form>\r\n"
         "</body></html>\r\n",
         "cp1252"},
        {"<p>Grüße von gruss@example.de – schreiben Sie \xE2\x80\x9Eoffice@example.co.uk\xE2\x80\x9C</p>\n"
         "<a href=\"mailto:b\xC3\xBCro@example.de\">B\xC3\xBCro</a>\n",
         "utf-8"},
    };
    test::TempFolder folder;
    for (const Page& page : pages) {
        const std::string protectedPage = protectAllAddresses(page.bytes);
        EXPECT_EQ(browserView(folder, protectedPage, page.charset), browserView(folder, page.bytes, page.charset));

        std::size_t readableBefore = 0;
        for (const ReadableAddress& hit : auditText(page.bytes, "p"))
            if (hit.kind != ReadableKind::Script) ++readableBefore;
        EXPECT_GT(readableBefore, 0u);
        for (const ReadableAddress& hit : auditText(protectedPage, "p"))
            EXPECT_EQ(hit.kind, ReadableKind::Script) << hit.address;
        EXPECT_EQ(protectAllAddresses(protectedPage), protectedPage);
    }
}

}  // namespace
}  // namespace quill
