#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

#include "engine/case_blind_replace.hpp"
#include "files/fault_injection.hpp"
#include "files/rewrite_journal.hpp"
#include "files/temporary_files.hpp"
#include "runs/backup_scope.hpp"
#include "runs/local_run.hpp"
#include "runs/run_backup.hpp"
#include "support/child_process.hpp"
#include "support/hook_scopes.hpp"
#include "support/state_home.hpp"
#include "support/temp_folder.hpp"

namespace quill {
namespace {

constexpr int kStopped = 3;

ino_t inodeOf(const std::string& path) {
    struct stat info {};
    EXPECT_EQ(::stat(path.c_str(), &info), 0);
    return info.st_ino;
}

// A run is killed at each step of its rewriting in turn: every file must then
// hold its old or its new contents (a file rewritten through its inode may be
// torn, if its record in the private state folder holds the whole new
// contents), and the next run must leave every file new, the hard links
// joined, another user's file still theirs, and neither a temporary file in
// the site nor a record in the state folder behind.
TEST(KillSafety, AKilledRunLeavesWholeFilesAndTheNextRunFinishes) {
    const StringList found = {"x@y.de\">X"};
    const std::string before = "<p><a href=\"mailto:x@y.de\">X</a></p>";
    const std::string after = RunReplacements(found).apply(before);
    ASSERT_EQ(RunReplacements(found).apply(after), after);  // a second run changes nothing

    bool finished = false;
    for (int stopAt = 1; !finished; ++stopAt) {
        SCOPED_TRACE("stopped at step " + std::to_string(stopAt));
        ASSERT_LT(stopAt, 200);
        test::TempFolder folder;
        const test::StateHomeScope state;
        // The hard-linked file comes last, so that once it is torn no other
        // file gives the next run a found text.
        const StringList paths = {folder.write("a.html", before), folder.write("theirs.html", before),
                                  folder.write("linked.html", before)};
        const bool root = ::geteuid() == 0;
        if (root) {
            ASSERT_EQ(::chown(paths[1].c_str(), test::kNobody, test::kNobody), 0);
        }
        const std::string other = folder.file("other-name.html");
        ASSERT_EQ(::link(paths[2].c_str(), other.c_str()), 0);

        const auto child = test::runInChild([&](const auto&) {
            int steps = 0;
            test::FileFaultScope kill([&](files::FileStep, const std::string&) {
                if (++steps == stopAt) ::_exit(kStopped);
                return 0;
            });
            LocalRunParameters run;
            run.rewritten = paths;
            run.foundTexts = found;
            runLocalEncoding(run);
        });
        finished = child.exitStatus == 0;
        ASSERT_TRUE(finished || child.exitStatus == kStopped);

        bool recordLeft = false;
        for (const auto& name : test::namesIn(state.folder())) {
            EXPECT_FALSE(finished) << name;
            if (name.rfind("inplace-", 0) == 0) {
                // The record holds the whole new contents, and the old ones.
                EXPECT_NE(test::readFile(state.folder() + "/" + name).find(after + before), std::string::npos);
                recordLeft = true;
            }
        }
        for (const auto& name : test::namesIn(folder.path()))
            EXPECT_FALSE(finished && files::isOurTemporaryName(name)) << name;
        for (const auto& path : paths) {
            const std::string now = test::readFile(path);
            EXPECT_TRUE(now == before || now == after) << path << ": " << now;
        }
        // Acts out a write torn by a crash (new bytes over old ones, the
        // reserved length); the record must repair it.
        if (recordLeft) {
            const std::size_t tear = before.size() / 2;
            std::string torn = after.substr(0, tear) + before.substr(tear);
            torn.resize(std::max(after.size(), before.size()), '\0');
            test::writeFile(paths[2], torn);
        }

        // Scans first: a torn file must be whole before it is read.
        runLocalEncoding(LocalRunParameters::over(paths));
        for (const auto& path : paths) EXPECT_EQ(test::readFile(path), after) << path;
        EXPECT_EQ(inodeOf(paths[2]), inodeOf(other));
        struct stat theirs {};
        ASSERT_EQ(::stat(paths[1].c_str(), &theirs), 0);
        EXPECT_EQ(theirs.st_uid, root ? test::kNobody : ::geteuid());
        EXPECT_EQ(test::namesIn(folder.path()).size(), 4u);
        EXPECT_EQ(test::namesIn(state.folder()), StringList{});
    }
}

// A run that keeps originals, killed at each step in turn: after the sweep
// the next run makes, a page still as it was is tied to no backup (its only
// name), and a replaced page's original is in the backup.
TEST(KillSafety, AKilledRunLeavesNoPageLinkedToItsBackup) {
    const std::string before = "<p><a href=\"mailto:x@y.de\">X</a></p>";
    bool finished = false;
    for (int stopAt = 1; !finished; ++stopAt) {
        SCOPED_TRACE("stopped at step " + std::to_string(stopAt));
        ASSERT_LT(stopAt, 100);
        const test::TempFolder folder;
        const test::TempFolder data;
        const test::StateHomeScope state;
        const StringList paths = {folder.write("a.html", before), folder.write("b.html", before)};
        const auto child = test::runInChild([&](const auto&) {
            int steps = 0;
            test::FileFaultScope kill([&](files::FileStep, const std::string&) {
                if (++steps == stopAt) ::_exit(kStopped);
                return 0;
            });
            RunBackup backup(data.file("Sicherungen"), RunKind::Local, folder.path());
            LocalRunParameters run = LocalRunParameters::over(paths);
            run.hooks = keepingOriginalsInBatches(backup);
            runLocalEncoding(run);
        });
        finished = child.exitStatus == 0;
        ASSERT_TRUE(finished || child.exitStatus == kStopped);

        files::finishInterruptedRewrites();
        const std::vector<KeptRun> kept = keptRuns(data.file("Sicherungen"));
        for (const auto& path : paths) {
            struct stat info {};
            ASSERT_EQ(::stat(path.c_str(), &info), 0);
            if (test::readFile(path) == before) {
                EXPECT_EQ(info.st_nlink, 1u) << path;
                continue;
            }
            ASSERT_EQ(kept.size(), 1u);
            const std::string original = kept[0].folder + "/" + localMirrorPath(path);
            EXPECT_EQ(test::readFile(original), before) << path;
        }
    }
}

}  // namespace
}  // namespace quill
