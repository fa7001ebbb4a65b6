#include <gtest/gtest.h>

#include <algorithm>

#include "cli_test_support.hpp"
#include "support/temp_folder.hpp"

namespace quill::cli::test {
namespace {

std::size_t lineCount(const std::string& text) {
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

long long jsonNumber(const std::string& json, const std::string& key) {
    const std::size_t at = json.find("\"" + key + "\":");
    if (at == std::string::npos) return -1;
    return std::stoll(json.substr(at + key.size() + 3));
}

// A gate that a contact address in a JSON-LD block (never encodable) keeps
// red, turned green by exceptions beside the settings, without hiding the
// addresses that still need work.
TEST(CliGate, ExceptionsBesideTheSettingsAcceptWhatMustStayReadable) {
    const quill::test::TempFolder work;
    work.write("site/index.html",
               "<script type=\"application/ld+json\">{\"email\": \"Kontakt@Example.org\"}</script>\n"
               "<p>an info@example.org</p>\n");
    work.write("site/intern/liste.html", "<p>team@example.org</p>\n");
    const std::string settings = work.write("conf/Einstellungen.qmk", "");
    work.write("conf/Endungen.qmk", "*.html\r\n");

    const Outcome red = runInProcess({"audit", "--recursive", work.file("site")});
    EXPECT_EQ(red.code, 1);
    EXPECT_EQ(lineCount(red.out), 3u) << red.out;

    // Letter case is ignored, the path pattern takes the sub-folder's page.
    work.write("conf/Ausnahmen.qmk", "# strukturierte Daten\r\nkontakt@example.ORG\r\nintern/*.html  # intern\r\n");
    const Outcome partly = runInProcess({"audit", "--recursive", "--settings", settings, work.file("site")});
    EXPECT_EQ(partly.code, 1);
    EXPECT_EQ(partly.out, work.file("site/index.html") + ":2:7: info@example.org (Text)\n");

    const Outcome verbose =
        runInProcess({"audit", "--recursive", "--verbose", "--settings", settings, work.file("site")});
    EXPECT_EQ(verbose.code, 1);
    EXPECT_EQ(lineCount(verbose.out), 3u);
    EXPECT_NE(verbose.out.find("Kontakt@Example.org (Skript, Ausnahme)\n"), std::string::npos) << verbose.out;

    // --exceptions wins over the file beside the settings.
    const std::string more = work.write("mehr.qmk", "*@example.org\n");
    const Outcome green = runInProcess(
        {"audit", "--recursive", "--json", "--settings", settings, "--exceptions", more, work.file("site")});
    EXPECT_EQ(green.code, 0) << green.out;
    EXPECT_EQ(jsonNumber(green.out, "excepted"), 3);
    EXPECT_EQ(jsonNumber(green.out, "files_checked"), 2);

    // "Alle E-Mail-Adressen schützen" leaves the accepted ones alone.
    const Outcome run = runInProcess({"run", "--all", "--recursive", "--settings", settings, work.file("site")});
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_NE(work.read("site/index.html").find("Kontakt@Example.org"), std::string::npos);
    EXPECT_EQ(work.read("site/index.html").find("info@example.org"), std::string::npos);
    EXPECT_EQ(work.read("site/intern/liste.html"), "<p>team@example.org</p>\n");
}

// Counts include what --all encodes, the totals add up the files, and a page
// without any link is no longer reported with "(0 Adressen)".
TEST(CliGate, TotalsCountEveryPlaceReplaced) {
    const quill::test::TempFolder site;
    site.write("a.html", "<a href=\"mailto:a@example.de\">a@example.de</a>\n");
    site.write("b.html", "<p>b@example.de und c@example.de</p>\n");
    site.write("c.html", "<p>nichts</p>\n");

    const Outcome trial = runInProcess({"run", "--dry-run", "--all", site.path()});
    EXPECT_EQ(trial.code, 1);
    EXPECT_NE(trial.out.find("würde geändert: " + site.file("b.html") + " (2 Stellen)\n"), std::string::npos)
        << trial.out;

    const Outcome json = runInProcess({"run", "--all", "--json", site.path()});
    EXPECT_EQ(json.code, 0) << json.err;
    EXPECT_EQ(jsonNumber(json.out, "format"), 1);
    EXPECT_EQ(jsonNumber(json.out, "files_checked"), 3);
    EXPECT_EQ(jsonNumber(json.out, "files_changed"), 2);
    long long sum = 0;
    for (std::size_t at = json.out.find("\"places\":"); at != std::string::npos;
         at = json.out.find("\"places\":", at + 1))
        sum += std::stoll(json.out.substr(at + 9));
    EXPECT_EQ(jsonNumber(json.out, "places_replaced"), sum);
    EXPECT_GE(sum, 4);
}

// Odd bytes and line breaks in a name are escaped alike in lines and JSON,
// so every hit is one line and every JSON string names the file the same way.
TEST(CliGate, OddFileNamesStayOnOneLine) {
    const quill::test::TempFolder site;
    site.write("n\xE4\nme.html", "<p>x@example.de</p>\n");
    site.write("\xC3\xBC.html", "<p>y@example.de</p>\n");

    const Outcome lines = runInProcess({"audit", site.path()});
    EXPECT_EQ(lines.code, 1);
    EXPECT_EQ(lineCount(lines.out), 2u) << lines.out;
    EXPECT_NE(lines.out.find(site.file("n\\xE4\\x0Ame.html") + ":1:4: x@example.de (Text)\n"), std::string::npos)
        << lines.out;
    EXPECT_NE(lines.out.find("/\xC3\xBC.html:1:4:"), std::string::npos);

    const Outcome json = runInProcess({"audit", "--json", site.path()});
    EXPECT_NE(json.out.find("n\\\\xE4\\\\x0Ame.html\""), std::string::npos) << json.out;
    EXPECT_EQ(jsonForm(json.out).substr(0, 9), "{format:n");
}

}  // namespace
}  // namespace quill::cli::test
