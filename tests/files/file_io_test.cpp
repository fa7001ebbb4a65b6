#include "files/file_io.hpp"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "files/fault_injection.hpp"
#include "files/memory_budget.hpp"
#include "support/child_process.hpp"
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
        {FileStep::Write, writeErrorText(path, EACCES)},
        {FileStep::ShortWrite, writeErrorText(path, EACCES)},
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

// A page is refused before it is read when its copies would not fit in the
// address space the process may still take, so no run fails for memory after
// it has begun to change files.
TEST_F(FileIo, APageTooLargeForTheMemoryAtHandIsRefusedBeforeItIsRead) {
    constexpr off_t kPage = 200 << 20;
    const std::string path = folder.write("big.html", "");
    ASSERT_EQ(::truncate(path.c_str(), kPage), 0);  // sparse: no disk needed
    const auto child = test::runInChild([&](const auto& report) {
        std::ifstream status("/proc/self/status");
        unsigned long long used = 0;
        for (std::string line; std::getline(status, line);)
            if (line.rfind("VmSize:", 0) == 0) used = std::stoull(line.substr(7)) * 1024;
        // Room for one copy of the page, not for the several a rewrite takes.
        const rlimit limit{used + (300ull << 20), used + (300ull << 20)};
        if (used == 0 || ::setrlimit(RLIMIT_AS, &limit) != 0) ::_exit(2);
        try {
            readWholeFile(path);
            report("read");
        } catch (const FileTooLargeError& error) {
            report(error.what());
        }
    });
    ASSERT_EQ(child.exitStatus, 0);
    EXPECT_EQ(child.report, tooLargeText(path, kPage));
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
