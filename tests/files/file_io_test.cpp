#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include "files/fault_injection.hpp"
#include "files/file_io.hpp"
#include "support/hook_scopes.hpp"
#include "support/temp_folder.hpp"

namespace quill::files {
namespace {

class FileIo : public ::testing::Test {
protected:
    test::TempFolder folder;
};

TEST_F(FileIo, ReadsEveryByteIncludingNul) {
    const std::string bytes("a\0b\r\nc\xff", 7);
    folder.write("f", bytes);
    EXPECT_EQ(readWholeFile(folder.file("f")), bytes);
}

TEST_F(FileIo, ShortReadIsAStreamError) {
    folder.write("f", "abc");
    const test::FileFaultScope fault(
        [](FileStep step, const std::string&) { return step == FileStep::ShortRead ? 1 : 0; });
    EXPECT_THROW(
        {
            try {
                readWholeFile(folder.file("f"));
            } catch (const StreamError& e) {
                EXPECT_STREQ(e.what(), "Stream-Lesefehler");
                throw;
            }
        },
        StreamError);
}

TEST_F(FileIo, ReplaceKeepsPermissionsAndLeavesNoTemporaryFile) {
    const auto path = folder.write("page.html", "old");
    ::chmod(path.c_str(), 0640);
    replaceFileContents(path, "new contents");
    EXPECT_EQ(folder.read("page.html"), "new contents");
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 1);
}

TEST_F(FileIo, ReplaceThroughALinkRewritesTheTargetAndKeepsTheLink) {
    const auto target = folder.write("real.html", "old");
    const auto link = folder.file("link.html");
    ASSERT_EQ(::symlink(target.c_str(), link.c_str()), 0);
    replaceFileContents(link, "new");
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(folder.read("real.html"), "new");
}

TEST_F(FileIo, EveryFailingStepLeavesTheOriginalWhole) {
    struct Case {
        FileStep step;
        std::string message;
    };
    const auto path = folder.write("page.html", "original");
    const Case cases[] = {
        {FileStep::CreateTemp, "Datei \"" + path + "\" kann nicht erstellt werden. Zugriff verweigert"},
        {FileStep::Write, "Stream-Schreibfehler"},
        {FileStep::ShortWrite, "Stream-Schreibfehler"},
        {FileStep::Rename, "Datei \"" + path + "\" kann nicht erstellt werden. Zugriff verweigert"},
    };
    for (const auto& c : cases) {
        {
            const test::FileFaultScope fault(
                [&c](FileStep step, const std::string&) { return step == c.step ? EACCES : 0; });
            try {
                replaceFileContents(path, "replacement");
                ADD_FAILURE() << "no error";
            } catch (const QuillError& e) {
                EXPECT_EQ(std::string(e.what()), c.message);
            }
        }
        EXPECT_EQ(folder.read("page.html"), "original");
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 1);
    }
}

TEST_F(FileIo, WriteProtectedFileIsRefusedUnchanged) {
    const auto path = folder.write("page.html", "original");
    ::chmod(path.c_str(), 0444);
    EXPECT_THROW(replaceFileContents(path, "x"), FileCreateError);
    EXPECT_EQ(folder.read("page.html"), "original");
}

TEST_F(FileIo, PathsAreBuiltFromTheCurrentFolder) {
    EXPECT_EQ(joinPath("/a", "b"), "/a/b");
    EXPECT_EQ(joinPath("/a/", "b"), "/a/b");
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(folder.path());
    EXPECT_EQ(inCurrentFolder("Endungen.qmk"), folder.path() + "/Endungen.qmk");
    std::filesystem::current_path(previous);
}

}  // namespace
}  // namespace quill::files
