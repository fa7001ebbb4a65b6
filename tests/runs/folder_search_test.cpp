#include "runs/folder_search.hpp"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <filesystem>

#include "files/descriptor.hpp"
#include "files/file_io.hpp"
#include "support/child_process.hpp"
#include "support/temp_folder.hpp"

namespace quill {
namespace {

class FolderSearch : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"b.html", "A.HTML", "c.htm", ".hidden.html", "notes.txt", "sub/z.html",
                                 "sub/deeper/y.html", "Sub2/x.html", ".dot/secret.html", "sub/.inner/no.html"})
            folder.write(name, "x");
    }
    // Paths relative to the folder, in the order found.
    StringList search(const std::string& mask, bool subfolders = true) const {
        StringList found;
        Dateien_suchen(folder.path() + "/" + mask, subfolders, found);
        for (auto& path : found) {
            EXPECT_EQ(path.rfind(folder.path() + "/", 0), 0u) << path;
            path.erase(0, folder.path().size() + 1);
        }
        return found;
    }
    test::TempFolder folder;
};

TEST_F(FolderSearch, DepthFirstFilesBeforeSubfoldersByNameIgnoringCase) {
    EXPECT_EQ(search("*.html"),
              (StringList{".hidden.html", "A.HTML", "b.html", "sub/z.html", "sub/deeper/y.html", "Sub2/x.html"}));
}

TEST_F(FolderSearch, MasksAndTheSubfolderSwitch) {
    struct Row {
        std::string mask;
        bool subfolders;
        StringList expected;
    };
    const std::vector<Row> rows = {
        {"*.htm", false, {".hidden.html", "A.HTML", "b.html", "c.htm"}},
        {"*.html", false, {".hidden.html", "A.HTML", "b.html"}},
        {"*.*", false, {".hidden.html", "A.HTML", "b.html", "c.htm", "notes.txt"}},
        {"*.txt", true, {"notes.txt"}},
        {"?.htm*", false, {"A.HTML", "b.html", "c.htm"}},
        {"*.php", true, {}},
    };
    for (const auto& row : rows) EXPECT_EQ(search(row.mask, row.subfolders), row.expected) << row.mask;
}

TEST_F(FolderSearch, AppendsToWhatIsListedAndASecondMaskListsOnlyNewFiles) {
    StringList found = {"earlier", folder.path() + "/c.htm"};
    Dateien_suchen(folder.path() + "/*.htm", false, found);
    Dateien_suchen(folder.path() + "/*.html", false, found);
    Dateien_suchen(folder.path() + "/*.*", false, found);
    // Every file once, at its first place.
    EXPECT_EQ(found, (StringList{"earlier", folder.path() + "/c.htm", folder.path() + "/.hidden.html",
                                 folder.path() + "/A.HTML", folder.path() + "/b.html", folder.path() + "/notes.txt"}));
}

TEST_F(FolderSearch, MissingFolderListsNothing) {
    StringList found;
    Dateien_suchen(" /*.html", true, found);
    Dateien_suchen(folder.path() + "/missing/*.html", true, found);
    EXPECT_TRUE(found.empty());
}

TEST_F(FolderSearch, LinksToFoldersAreNotEnteredSoNoWalkLoops) {
    ASSERT_EQ(::symlink("..", folder.file("sub/up").c_str()), 0);
    ASSERT_EQ(::symlink(folder.path().c_str(), folder.file("sub/deeper/root").c_str()), 0);
    ASSERT_EQ(::symlink("b.html", folder.file("linked.html").c_str()), 0);
    ASSERT_EQ(::symlink("gone.html", folder.file("dangling.html").c_str()), 0);
    // A link to a file inside the folder is listed by its target, so nothing
    // later follows it again, and that target only once.
    EXPECT_EQ(search("*.html"),
              (StringList{".hidden.html", "A.HTML", "b.html", "sub/z.html", "sub/deeper/y.html", "Sub2/x.html"}));
}

TEST_F(FolderSearch, OnlyRegularFilesAreListed) {
    ASSERT_EQ(::mkfifo(folder.file("pipe.html").c_str(), 0600), 0);
    std::filesystem::create_directory(folder.file("folder.html"));
    EXPECT_EQ(search("*.html", false), (StringList{".hidden.html", "A.HTML", "b.html"}));
}

// A folder that cannot be read and a link that leads out are named, the walk
// lists everything else, and a tree deeper than a path may be long is walked
// through to its end.
TEST_F(FolderSearch, WhatCannotBeSearchedIsNamedAndNothingIsSkippedInSilence) {
    test::TempFolder outside;
    ::chmod(folder.path().c_str(), 0755);
    folder.write("locked/hidden-away.html", "x");
    ::chmod(folder.file("locked").c_str(), 0);
    ASSERT_EQ(::symlink(outside.write("elsewhere.html", "x").c_str(), folder.file("out.html").c_str()), 0);
    std::string deep = folder.path();
    {
        files::Descriptor at(::open(folder.path().c_str(), O_RDONLY | O_DIRECTORY));
        const std::string part(200, 'd');
        while (deep.size() <= PATH_MAX) {
            ASSERT_EQ(::mkdirat(at.get(), part.c_str(), 0755), 0);
            at = files::Descriptor(::openat(at.get(), part.c_str(), O_RDONLY | O_DIRECTORY));
            deep += "/" + part;
        }
        files::Descriptor page(::openat(at.get(), "deep.html", O_WRONLY | O_CREAT, 0644));
        ASSERT_EQ(::write(page.get(), "deep", 4), 4);
    }
    const test::NobodysFolder state;
    const auto child = test::runInChild([&](const auto& report) {
        if (::geteuid() == 0 && !test::becomeNobody(state.path())) ::_exit(2);
        StringList found;
        try {
            Dateien_suchen(folder.path() + "/*.html", true, found);
        } catch (const SearchIncompleteError& error) {
            report(std::string(error.what()) + "\n");
        }
        for (const auto& path : found)
            report(path == deep + "/deep.html" ? files::readWholeFile(path) + "\n" : path + "\n");
    });
    ASSERT_EQ(child.exitStatus, 0);
    EXPECT_NE(child.report.find(folder.path() + "/locked/"), std::string::npos) << child.report;
    EXPECT_NE(child.report.find(folder.path() + "/out.html"), std::string::npos) << child.report;
    EXPECT_EQ(child.report.find("elsewhere"), std::string::npos) << child.report;
    EXPECT_NE(child.report.find(folder.path() + "/b.html\n"), std::string::npos) << child.report;
    EXPECT_NE(child.report.find("\ndeep\n"), std::string::npos) << child.report;
    ::chmod(folder.file("locked").c_str(), 0755);
}

}  // namespace
}  // namespace quill
