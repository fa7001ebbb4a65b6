#include "app/user_working_folder.hpp"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/temp_folder.hpp"
#include "text/quill_error.hpp"

namespace quill {
namespace {

namespace fs = std::filesystem;

TEST(UserWorkingFolder, FollowsAnAbsoluteXdgDataHomeElseTheHomeFolder) {
    const struct {
        const char* xdgDataHome;
        const char* home;
        const char* expected;
    } cases[] = {
        {"/daten", "/home/anna", "/daten/Quillmaskerade"},
        {nullptr, "/home/anna", "/home/anna/.local/share/Quillmaskerade"},
        {"", "/home/anna", "/home/anna/.local/share/Quillmaskerade"},
        {"daten", "/home/anna", "/home/anna/.local/share/Quillmaskerade"},  // relative: ignored
    };
    for (const auto& c : cases) EXPECT_EQ(userWorkingFolder(c.xdgDataHome, c.home), fs::path(c.expected)) << c.expected;
    EXPECT_THROW(userWorkingFolder(nullptr, nullptr), QuillError);
}

TEST(UserWorkingFolder, CopiesWhatIsMissingAndOverwritesNothing) {
    test::TempFolder root;
    root.write("defaults/Endungen.qmk", "*.htm\r\n*.html\r\n");
    root.write("defaults/Quillmaskerade.chm", "help");
    root.write("defaults/Hilfe/index.html", "<html>");
    root.write("user/Quillmaskerade/Endungen.qmk", "*.php\r\n");
    root.write("user/Quillmaskerade/Hilfe/eigene.html", "own");
    const fs::path folder = root.file("user/Quillmaskerade");

    prepareWorkingFolder(root.file("defaults"), folder);
    EXPECT_EQ(root.read("user/Quillmaskerade/Endungen.qmk"), "*.php\r\n");
    EXPECT_EQ(root.read("user/Quillmaskerade/Quillmaskerade.chm"), "help");
    EXPECT_FALSE(fs::exists(folder / "Hilfe" / "index.html"));  // a folder that is there is left alone

    const fs::path fresh = root.file("new/a/b/Quillmaskerade");
    prepareWorkingFolder(root.file("defaults"), fresh);
    EXPECT_EQ(test::readFile((fresh / "Endungen.qmk").string()), "*.htm\r\n*.html\r\n");
    EXPECT_EQ(test::readFile((fresh / "Hilfe" / "index.html").string()), "<html>");
}

TEST(UserWorkingFolder, AFolderThatCannotBeMadeIsNamed) {
    test::TempFolder root;
    root.write("defaults/Endungen.qmk", "x");
    root.write("blocked", "a file, not a folder");
    const std::string folder = root.file("blocked/Quillmaskerade");
    try {
        prepareWorkingFolder(root.file("defaults"), folder);
        FAIL() << "no error";
    } catch (const QuillError& e) {
        EXPECT_EQ(std::string(e.what()).rfind("Der Arbeitsordner \"" + folder + "\" kann nicht angelegt werden. ", 0),
                  0u)
            << e.what();
    }
}

TEST(UserWorkingFolder, AProgramOutsideAnInstalledTreeKeepsItsFolder) {
    test::TempFolder root;
    const fs::path before = fs::current_path();
    EXPECT_FALSE(enterUserWorkingFolder(root.file("bin")));
    EXPECT_EQ(fs::current_path(), before);
}

}  // namespace
}  // namespace quill
