#include <gtest/gtest.h>

#include <filesystem>

#include "cli_test_support.hpp"
#include "support/temp_folder.hpp"

namespace quill::cli::test {
namespace {

class CliUndo : public quill::test::InTempWorkingFolder {};

// A run keeps its originals in the working folder; "backups" lists it and
// "undo" restores what the run wrote, naming a page edited since.
TEST_F(CliUndo, RunThenUndoRestoresTheSite) {
    const quill::test::TempFolder site;
    site.write("index.html", "<a href=\"mailto:a@example.de\">a</a>\n");
    site.write("team.html", "<p>mailto: b@example.de</p>\n");
    site.write("alt.html", "<a href=\"mailto:c@example.de\">c</a>\n");
    const auto original = treeBytes(site.path());

    EXPECT_EQ(runInProcess({"backups"}).out, "");
    const Outcome trial = runInProcess({"run", "--dry-run", site.path()});
    EXPECT_EQ(trial.code, 1);
    EXPECT_FALSE(std::filesystem::exists(work().file("Sicherungen")));  // a trial keeps nothing

    const Outcome run = runInProcess({"run", site.path()});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_NE(run.out.find("Sicherung: "), std::string::npos) << run.out;
    const auto encoded = treeBytes(site.path());
    ASSERT_NE(encoded, original);

    const Outcome list = runInProcess({"backups"});
    EXPECT_EQ(list.code, 0);
    EXPECT_NE(list.out.find("  lokal  " + site.path() + "  3 Dateien\n"), std::string::npos) << list.out;

    site.write("team.html", "von Hand");
    site.write("alt.html", original.at("alt.html"));  // as a page whose replace failed
    const Outcome undo = runInProcess({"undo"});
    EXPECT_EQ(undo.code, 1) << undo.err;  // pages left alone
    EXPECT_NE(undo.out.find(site.file("team.html") + ": seit dem Lauf geändert"), std::string::npos) << undo.out;
    EXPECT_NE(undo.out.find(site.file("alt.html") + ": hat schon den alten Inhalt"), std::string::npos) << undo.out;
    EXPECT_EQ(site.read("index.html"), original.at("index.html"));
    EXPECT_EQ(site.read("team.html"), "von Hand");
    EXPECT_NE(runInProcess({"backups"}).out.find("(rückgängig gemacht)"), std::string::npos);

    // Nothing left to undo; an unknown run is a wrong call.
    EXPECT_EQ(runInProcess({"undo"}).code, 2);
    EXPECT_EQ(runInProcess({"undo", "1999-01-01_00-00-00"}).code, 2);

    // Without a backup nothing is kept.
    const Outcome bare = runInProcess({"run", "--no-backup", site.path()});
    EXPECT_EQ(bare.code, 0) << bare.err;
    EXPECT_EQ(bare.out.find("Sicherung: "), std::string::npos);
}

}  // namespace
}  // namespace quill::cli::test
