#include <gtest/gtest.h>

#include "cli_test_support.hpp"
#include "support/temp_folder.hpp"

namespace quill::cli::test {
namespace {

// The working folder holds "site" (one page with a link, one with an address
// in its text) and "ohne" (a page without any address).
struct Row {
    const char* name;
    std::vector<std::string> args;
    int code;
    std::string jsonForm;  // empty: not JSON
    bool siteUnchanged;
    bool quiet = false;  // a result that is no output at all
};

const std::string kHitForm = "{address:s,column:n,kind:s,line:n,path:s}";
const std::string kTotalsForm =
    "totals:{excepted:n,files_changed:n,files_checked:n,places_replaced:n,readable:{attribute:n,link:n,script:n,"
    "text:n}}";
const std::string kFilesForm = "files:[{changed:b,diff:s,path:s,places:n}]";
const std::string kRunForm = "{" + kFilesForm + ",format:n,message:s,readable:[" + kHitForm + "]," + kTotalsForm + "}";
const std::string kCleanRunForm = "{" + kFilesForm + ",format:n,message:s,readable:[]," + kTotalsForm + "}";

const Row kRows[] = {
    {"Version", {"--version"}, 0, "", true},
    {"ProgramHelp", {"--help"}, 0, "", true},
    {"EncodeHelp", {"encode", "--help"}, 0, "", true},
    {"RunHelp", {"run", "--help"}, 0, "", true},
    {"RemoteHelp", {"remote", "--help"}, 0, "", true},
    {"NoCommand", {}, 2, "", true},
    {"UnknownCommand", {"kodieren"}, 2, "", true},
    {"RunWithoutPath", {"run"}, 2, "", true},
    {"MaskWithoutValue", {"run", "site", "--mask"}, 2, "", true},
    {"UnknownOption", {"run", "--bogus", "site"}, 2, "", true},
    {"FlagWithValue", {"run", "--json=ja", "site"}, 2, "", true},
    {"EmptyMask", {"run", "--mask", "", "site"}, 2, "", true},
    {"EncodeWithoutAddress", {"encode", "--link"}, 2, "", true},
    {"RemoteWithoutPassword", {"remote", "--host", "127.0.0.1", "--user", "u"}, 2, "", true},
    {"RemoteUnsetVariable",
     {"remote", "--host", "h", "--user", "u", "--password-env", "QUILL_NIE_GESETZT"},
     2,
     "",
     true},
    {"RemoteBadPort",
     {"remote", "--host", "h", "--user", "u", "--password-file", "site/index.html", "--port", "0"},
     2,
     "",
     true},
    {"FingerprintWithoutTls",
     {"remote", "--host", "h", "--user", "u", "--password-file", "site/index.html", "--fingerprint", "AB"},
     2,
     "",
     true},
    {"DecodeBadPiece", {"decode", "&#72;&#105x"}, 3, "", true},
    {"MissingFile", {"run", "fehlt.html"}, 3, "", true},
    {"PageInMissingFolder", {"encode", "a@b.de", "--page", "fehlt/seite.html"}, 3, "", true},
    {"SettingsMissing", {"run", "--settings", "fehlt.qmk", "site"}, 3, "", true},
    {"Encode", {"encode", "a@b.de"}, 0, "", true},
    {"DryRunPending", {"run", "--dry-run", "site"}, 1, "", true},
    {"DryRunJson", {"run", "--dry-run", "--json", "site"}, 1, kRunForm, true},
    {"DryRunAllJson", {"run", "--dry-run", "--all", "--json", "site"}, 1, kCleanRunForm, true},
    {"DryRunNothingFound", {"run", "--dry-run", "ohne"}, 0, "", true},
    {"RunJson", {"run", "--json", "site"}, 0, kRunForm, false},
    {"RunAllJson", {"run", "--all", "--json", "site"}, 0, kCleanRunForm, false},
    {"RunNothingFoundJson", {"run", "--json", "ohne"}, 0, kCleanRunForm, true},
    // A gate must not pass by checking nothing.
    {"RunMaskFindsNothing", {"run", "--json", "--mask", "*.php", "site"}, 2, "", true},
    {"AuditMaskFindsNothing", {"audit", "--mask", "html", "site"}, 2, "", true},
    {"AuditMissingExceptions", {"audit", "--exceptions", "fehlt.qmk", "site"}, 3, "", true},
    {"AuditVerboseJson",
     {"audit", "--json", "--verbose", "site"},
     1,
     "{excepted:[],format:n,readable:[" + kHitForm + "]," + kTotalsForm + "}",
     true},
    {"AuditHelp", {"audit", "--help"}, 0, "", true},
    {"AuditWithoutPath", {"audit", "--recursive"}, 2, "", true},
    {"AuditFound", {"audit", "site"}, 1, "", true},
    {"AuditJson", {"audit", "--json", "site"}, 1, "{format:n,readable:[" + kHitForm + "]," + kTotalsForm + "}", true},
    {"AuditClean", {"audit", "ohne"}, 0, "", true, true},
    {"AuditCleanJson", {"audit", "--json", "ohne"}, 0, "{format:n,readable:[]," + kTotalsForm + "}", true},
    {"AuditMissingFile", {"audit", "site/fehlt.html"}, 3, "", true},
};

class CliTable : public quill::test::InTempWorkingFolder, public ::testing::WithParamInterface<Row> {};

TEST_P(CliTable, ExitCodeStreamsAndJsonForm) {
    const Row& row = GetParam();
    work().write("site/index.html", "<a href=\"mailto:a@b.de\">Mail</a>\r\n");
    work().write("site/text.html", "<p>Schreiben Sie an info@example.com</p>\n");
    work().write("ohne/seite.htm", "<p>Kein Link, nur mailto: im Text</p>\n");
    const auto before = treeBytes(work().path());

    const Outcome outcome = runInProcess(row.args);

    EXPECT_EQ(outcome.code, row.code) << outcome.err;
    // Results go to standard output, complaints to standard error, never both ways round.
    if (row.code >= 2) {
        EXPECT_FALSE(outcome.err.empty());
        EXPECT_TRUE(outcome.out.empty()) << outcome.out;
    } else if (row.quiet) {
        EXPECT_EQ(outcome.err + outcome.out, "");
    } else {
        EXPECT_TRUE(outcome.err.empty()) << outcome.err;
        ASSERT_FALSE(outcome.out.empty());
        EXPECT_EQ(outcome.out.back(), '\n');
    }
    if (!row.jsonForm.empty()) {
        EXPECT_EQ(jsonForm(outcome.out), row.jsonForm) << outcome.out;
    }
    EXPECT_EQ(treeBytes(work().path()) == before, row.siteUnchanged);
}

INSTANTIATE_TEST_SUITE_P(Rows, CliTable, ::testing::ValuesIn(kRows),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quill::cli::test
