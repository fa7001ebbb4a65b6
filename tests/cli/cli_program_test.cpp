#include <gtest/gtest.h>

#include "cli_test_support.hpp"
#include "support/temp_folder.hpp"

namespace quill::cli::test {
namespace {

// The built program used the way a build script uses it: check, protect,
// check again, with a site in a temporary folder.
TEST(CliProgram, ProtectsASiteTheWayABuildScriptCallsIt) {
    const quill::test::TempFolder site;
    const std::string index = site.write("index.html", "<A HREF=\"mailto:web@example.com\">Web</A>\r\n");
    site.write("team/kontakt.htm", "<p>Bitte per mailto:web@example.com</p>\n");
    site.write("team/bild.png", "\x89PNG mailto:web@example.com");
    site.write("team/text.htm", "<p>\nSchreiben Sie an info@example.com</p>\n");
    const auto original = treeBytes(site.path());
    const std::string program = cliProgram();

    const Outcome pending = runProgram(program, {"run", "--dry-run", "--recursive", site.path()});
    EXPECT_EQ(pending.code, 1);
    EXPECT_NE(pending.out.find("--- " + index + "\n+++ " + index + "\n@@ -1 +1 @@\n-<A HREF"), std::string::npos)
        << pending.out;
    // Not a terminal: no progress, nothing on standard error.
    EXPECT_EQ(pending.err, "");
    EXPECT_EQ(treeBytes(site.path()), original);

    const Outcome done = runProgram(program, {"run", "--recursive", site.path()});
    EXPECT_EQ(done.code, 0) << done.err;
    // The link's found text and its "MAILTO:"; the other page's "mailto:".
    EXPECT_NE(done.out.find("geändert: " + index + " (2 Stellen)\n"), std::string::npos) << done.out;
    EXPECT_NE(done.out.find("geändert: " + site.file("team/kontakt.htm") + " (1 Stelle)\n"), std::string::npos);
    EXPECT_EQ(site.read("team/bild.png"), original.at("team/bild.png"));
    EXPECT_EQ(site.read("index.html").find("mailto"), std::string::npos);

    const Outcome again = runProgram(program, {"run", "--dry-run", "--json", "--recursive", site.path()});
    EXPECT_EQ(again.code, 0) << again.out;
    EXPECT_NE(again.out.find("\"message\":\"Es wurden keine unkodierten E-Mail-Adressen gefunden!\""),
              std::string::npos);

    // The addresses in the texts stay readable (the one behind the encoded
    // "mailto:" too): the build gate fails on them.
    const Outcome gate = runProgram(program, {"audit", "--recursive", site.path()});
    EXPECT_EQ(gate.code, 1);
    EXPECT_NE(gate.out.find("\n" + site.file("team/text.htm") + ":2:18: info@example.com (Text)\n"), std::string::npos)
        << gate.out;

    const Outcome decoded = runProgram(program, {"decode"}, "&#72;&#105\n&#8364;\n");
    EXPECT_EQ(decoded.code, 0);
    EXPECT_EQ(decoded.out, "Hi€\n");

    const Outcome wrong = runProgram(program, {"run", "--rekursiv", site.path()});
    EXPECT_EQ(wrong.code, 2);
    EXPECT_EQ(wrong.out, "");
    EXPECT_NE(wrong.err.find("--rekursiv"), std::string::npos);
}

}  // namespace
}  // namespace quill::cli::test
