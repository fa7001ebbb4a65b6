#include "runs/exception_list.hpp"

#include <gtest/gtest.h>

#include "addresses/address_audit.hpp"
#include "addresses/address_protection.hpp"
#include "runs/local_run.hpp"
#include "support/temp_folder.hpp"

namespace quill {
namespace {

TEST(ExceptionList, EntriesMatchAddressesAndPathsByTheMaskRules) {
    const ExceptionList list({
        "# Kommentar: nie@example.org", "  Info@Example.ORG   # Kontakt im JSON-LD", "*@presse.example.org", "",
        "impressum.htm", "intern/*.html",
        "m\xFC"
        "ller@example.org",  // code page 1252
    });
    struct Case {
        const char* text;
        bool address;
        bool path;
    };
    const Case cases[] = {
        {"info@example.org", true, false},
        {"INFO@EXAMPLE.ORG", true, false},
        {"nie@example.org", false, false},      // only in a comment
        {"info@example.org.de", false, false},  // whole address only
        {"a@presse.example.org", true, false},
        {"a@example.org", false, false},
        {"m\xC3\xBCller@example.org", true, false},
        {"site/Impressum.HTM", false, true},  // case-blind
        {"site/impressum.html", false, false},
        {"/var/www/intern/a.html", false, true},
        {"/var/www/nichtintern/a.html", false, false},  // a folder boundary
        {"intern/a.html", false, true},
        {"/var/www/intern/x/a.html", false, true},  // "*" crosses folders
        {"/var/www/a.html", false, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(list.coversAddress(c.text), c.address) << c.text;
        EXPECT_EQ(list.coversPath(c.text), c.path) << c.text;
    }
    EXPECT_TRUE(ExceptionList({"# nur ein Kommentar", "   "}).empty());
}

TEST(ExceptionList, AMissingFileIsAnEmptyListAndAHitIsSplitByAddressOrPath) {
    const test::TempFolder folder;
    EXPECT_TRUE(ExceptionList::load(folder.file("Ausnahmen.qmk")).empty());
    const std::string page = "<p>a@example.de b@example.de</p>";
    const ExceptionList list = ExceptionList::load(folder.write("Ausnahmen.qmk", "B@example.de\r\nalt.html\r\n"));
    std::vector<ReadableAddress> hits = auditText(page, "neu.html");
    const std::vector<ReadableAddress> old = auditText(page, "alt.html");
    hits.insert(hits.end(), old.begin(), old.end());
    const AuditSplit split = splitByExceptions(hits, list);
    ASSERT_EQ(split.counted.size(), 1u);
    EXPECT_EQ(split.counted[0].address, "a@example.de");
    EXPECT_EQ(split.excepted.size(), 3u);
}

// The option encodes every readable address but the accepted ones, and
// leaves an accepted page as it is; what it leaves is exactly what the
// audit does not count.
TEST(ExceptionList, TheOptionAndTheAuditAgree) {
    const test::TempFolder folder;
    const std::string text =
        "<a href=\"mailto:keep@example.de\">keep@example.de</a> <a href=\"mailto:go@example.de\">go@example.de</a>"
        " <p>KEEP@example.de go@example.de</p>";
    const std::string a = folder.write("a.html", text);
    const std::string b = folder.write("frei/b.html", text);
    LocalRunParameters runs;
    runs.rewritten = {a, b};
    runs.protectAll = true;
    runs.exceptions = ExceptionList({"keep@example.de", "frei/*"});
    const LocalRunResult result = runLocalEncoding(runs);

    EXPECT_EQ(folder.read("frei/b.html"), text);
    const std::string encoded = folder.read("a.html");
    EXPECT_EQ(encoded, protectAllAddresses(text, [](const std::string& address) {
                  return address == "keep@example.de" || address == "KEEP@example.de";
              }));
    const AuditSplit split = splitByExceptions(auditFiles({a, b}), runs.exceptions);
    EXPECT_TRUE(split.counted.empty());
    EXPECT_EQ(split.excepted.size(), 3u + 6u);  // the kept ones in a, everything in b
    EXPECT_FALSE(result.auditOutcome(runs.exceptions).has_value());
}

}  // namespace
}  // namespace quill
