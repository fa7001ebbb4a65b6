#include "runs/run_backup.hpp"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <memory>

#include "files/fault_injection.hpp"
#include "files/file_io.hpp"
#include "runs/backup_scope.hpp"
#include "runs/local_run.hpp"
#include "support/hook_scopes.hpp"
#include "support/temp_folder.hpp"

namespace quill {
namespace {

namespace fs = std::filesystem;

const std::string kLinkPage = "<p><a href=\"mailto:info@example.de\">Schreiben</a></p>\r\n";

ino_t inodeOf(const std::string& path) {
    struct stat info {};
    ::stat(path.c_str(), &info);
    return info.st_ino;
}

// A folder run with the backup, then the undo: untouched pages come back byte
// for byte, an edited page and a deleted one are named and left as they are.
TEST(RunBackup, UndoRestoresWhatTheRunWroteAndLeavesLaterEditsAlone) {
    const test::TempFolder site;
    const test::TempFolder data;
    const std::string root = data.file("Sicherungen");
    const std::string a = site.write("a.html", kLinkPage);
    const std::string b = site.write("sub/b.html", "<p>mailto: und info@example.de</p>\n");
    const std::string c = site.write("c.html", kLinkPage + "<!-- c -->");
    const std::string plain = site.write("ohne.html", "<p>nichts</p>\n");

    std::optional<RunBackup> backup(std::in_place, root, RunKind::Local, site.path());
    LocalRunParameters parameters = LocalRunParameters::over(searchFolder(site.path(), {"*.html"}, true));
    parameters.hooks = keepingOriginalsInBatches(*backup);
    runLocalEncoding(parameters);
    ASSERT_TRUE(backup->exists());
    const std::string encodedA = site.read("a.html");
    ASSERT_NE(encodedA, kLinkPage);

    // The originals are mirrored under their absolute paths.
    EXPECT_EQ(test::readFile(backup->folder() + "/" + localMirrorPath(b)), "<p>mailto: und info@example.de</p>\n");
    const std::string log = test::readFile(backup->folder() + "/Protokoll.txt");
    EXPECT_NE(log.find(a + ": " + std::to_string(kLinkPage.size()) + " → " + std::to_string(encodedA.size()) +
                       ", 2 Stellen\n"),
              std::string::npos)
        << log;
    EXPECT_EQ(log.find(plain), std::string::npos);  // not changed: not kept

    test::writeFile(c, "von Hand geändert");
    fs::remove(b);
    const std::vector<KeptRun> kept = keptRuns(root);
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(kept[0].kind, RunKind::Local);
    EXPECT_EQ(kept[0].place, site.path());
    EXPECT_EQ(kept[0].files.size(), 3u);
    EXPECT_FALSE(kept[0].undone);

    const UndoResult result = undoLocalRun(kept[0]);
    EXPECT_EQ(result.restored, std::vector<std::string>{a});
    ASSERT_EQ(result.leftAlone.size(), 2u);
    EXPECT_EQ(site.read("a.html"), kLinkPage);
    EXPECT_EQ(site.read("c.html"), "von Hand geändert");
    EXPECT_FALSE(files::fileExists(b));
    const std::string report = undoReport(result);
    EXPECT_NE(report.find(c), std::string::npos);
    EXPECT_NE(report.find(b), std::string::npos);
    EXPECT_TRUE(keptRuns(root)[0].undone);
}

// A file the run rewrites twice (listed under two masks) keeps its first
// original and the bytes of its last write; names with tabs and line breaks
// survive the index; runs in the same second get their own folders, newest first.
TEST(RunBackup, OneOriginalPerFileAndOneFolderPerRun) {
    const test::TempFolder data;
    const std::string root = data.file("Sicherungen");
    const std::string odd = "/srv/a\tb\nc%41.html";
    {
        RunBackup first(root, RunKind::Local, "/srv", {}, 1'000'000'000);
        first.keep(odd, "srv/odd.html", "eins", "zwei", 1);
        first.keep(odd, "srv/odd.html", "zwei", "drei", 1);
        first.readable({"/srv/x.html:1:1: a@b.de"});
    }
    RunBackup second(root, RunKind::Remote, "ftp.example.org", "/htdocs", 1'000'000'000);
    RunBackup unused(root, RunKind::Local, "/leer", {}, 1'000'000'000);
    second.keep("index.html", remoteMirrorPath("ftp.example.org", "/htdocs/../x", "index.html"), "alt", "neu", 2);
    second.failed("Verbindung verloren");
    EXPECT_FALSE(unused.exists());

    const std::vector<KeptRun> kept = keptRuns(root);
    ASSERT_EQ(kept.size(), 2u);
    EXPECT_EQ(kept[0].name, kept[1].name + "_2");
    EXPECT_EQ(kept[0].kind, RunKind::Remote);
    EXPECT_EQ(kept[0].serverFolder, "/htdocs");
    EXPECT_EQ(test::readFile(kept[0].files.at(0).original), "alt");
    // Nothing of the server's path leaves the backup folder.
    EXPECT_EQ(fs::path(kept[0].files[0].original).lexically_normal().string().rfind(kept[0].folder, 0), 0u);
    ASSERT_EQ(kept[1].files.size(), 1u);
    EXPECT_EQ(kept[1].files[0].target, odd);
    EXPECT_EQ(kept[1].files[0].writtenHash, sha256Hex("drei"));
    EXPECT_EQ(test::readFile(kept[1].files[0].original), "eins");
    EXPECT_NE(test::readFile(kept[0].folder + "/Protokoll.txt").find("Fehler: Verbindung verloren"), std::string::npos);
    EXPECT_NE(test::readFile(kept[1].folder + "/Protokoll.txt").find("/srv/x.html:1:1: a@b.de"), std::string::npos);
    EXPECT_EQ(sha256Hex("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
}

// Each original is in the backup before its page is replaced: a second link
// to the page where one can be made, a copy where not. A page whose original
// cannot be kept is not replaced, nor are those after it, and nothing of
// theirs stays in the backup (no link ties a page to it). More pages than one
// batch holds, so a batch fails in the middle of the run too.
TEST(RunBackup, EachOriginalIsKeptBeforeItsPageIsReplaced) {
    enum class Failure { None, Page, NoLink, Original };
    for (const Failure failure : {Failure::None, Failure::Page, Failure::NoLink, Failure::Original}) {
        SCOPED_TRACE(static_cast<int>(failure));
        const test::TempFolder site;
        const test::TempFolder data;
        StringList pages;
        std::vector<ino_t> inodes;
        for (int i = 0; i < 300; ++i) {
            pages.push_back(site.write("p" + std::to_string(i) + ".html", kLinkPage));
            inodes.push_back(inodeOf(pages.back()));
        }
        RunBackup backup(data.file("Sicherungen"), RunKind::Local, site.path());
        const auto originalOf = [&](const std::string& page) { return backup.folder() + "/" + localMirrorPath(page); };
        LocalRunParameters parameters = LocalRunParameters::over(pages);
        parameters.hooks = keepingOriginalsInBatches(backup);
        std::vector<std::string> keptInTime;
        {
            test::FileFaultScope watch([&](files::FileStep step, const std::string& path) {
                if (step == files::FileStep::Rename && test::readFile(originalOf(path)) == kLinkPage)
                    keptInTime.push_back(path);
                if (failure == Failure::Page && step == files::FileStep::CreateTemp && path == pages[2]) return EACCES;
                const bool second = backup.exists() && path == originalOf(pages[130]);
                if (failure != Failure::None && failure != Failure::Page && step == files::FileStep::Link)
                    return second || failure == Failure::NoLink ? EXDEV : 0;
                if (failure == Failure::Original && step == files::FileStep::Write && second) return EIO;
                return 0;
            });
            if (failure == Failure::Page || failure == Failure::Original) {
                EXPECT_THROW(runLocalEncoding(parameters), QuillError);
            } else {
                runLocalEncoding(parameters);
            }
        }
        const std::size_t written = failure == Failure::Page ? 2 : failure == Failure::Original ? 130 : pages.size();
        EXPECT_EQ(keptInTime, StringList(pages.begin(), pages.begin() + written));
        for (std::size_t i = 0; i < pages.size(); ++i) {
            EXPECT_EQ(test::readFile(pages[i]) == kLinkPage, i >= written) << pages[i];
            EXPECT_EQ(fs::hard_link_count(pages[i]), 1u) << pages[i];
            EXPECT_EQ(fs::exists(originalOf(pages[i])), i < written) << pages[i];
            if (i >= written) continue;
            EXPECT_EQ(test::readFile(originalOf(pages[i])), kLinkPage);
            // The original is the very file that was the page, unless it had to be copied.
            EXPECT_EQ(inodeOf(originalOf(pages[i])) == inodes[i], failure != Failure::NoLink) << pages[i];
        }
        // The undo restores what was replaced and names what has no original.
        const UndoResult undo = undoLocalRun(keptRuns(data.file("Sicherungen")).at(0));
        EXPECT_EQ(undo.restored.size(), written);
        for (const auto& page : pages) EXPECT_EQ(test::readFile(page), kLinkPage);
        // Only a batch that failed while keeping originals names pages it never replaced.
        EXPECT_EQ(undo.leftAlone.empty(), failure != Failure::Original);
        for (const auto& line : undo.leftAlone) EXPECT_NE(line.find(": Sicherung fehlt"), std::string::npos) << line;
    }
}

// A page with a second name is rewritten through its inode, so its original
// must be a copy: a link would change with it.
TEST(RunBackup, AnOriginalSharedWithAnotherNameIsCopied) {
    const test::TempFolder site;
    const test::TempFolder data;
    const std::string page = site.write("seite.html", kLinkPage);
    fs::create_hard_link(page, site.file("zweiter-name.html"));
    RunBackup backup(data.file("Sicherungen"), RunKind::Local, site.path());
    LocalRunParameters parameters = LocalRunParameters::over({page});
    parameters.hooks = keepingOriginalsInBatches(backup);
    runLocalEncoding(parameters);
    EXPECT_NE(site.read("zweiter-name.html"), kLinkPage);
    EXPECT_EQ(test::readFile(backup.folder() + "/" + localMirrorPath(page)), kLinkPage);
}

// Pages on another file system than the backup (memory against disk): no
// link can be made there, so each original is copied byte for byte.
TEST(RunBackup, OriginalsOnAnotherFileSystemAreCopied) {
    const test::TempFolder data;
    std::string site = "/dev/shm/quill-test-XXXXXX";
    struct stat shm {};
    struct stat backups {};
    if (::stat("/dev/shm", &shm) != 0 || ::stat(data.path().c_str(), &backups) != 0 || shm.st_dev == backups.st_dev ||
        ::mkdtemp(site.data()) == nullptr)
        GTEST_SKIP() << "no second file system at /dev/shm";
    const std::unique_ptr<std::string, void (*)(std::string*)> removeSite(&site,
                                                                          [](std::string* p) { fs::remove_all(*p); });
    const std::string big = kLinkPage + std::string(3 << 20, 'x');  // more than one copy call may move
    StringList pages = {site + "/a.html", site + "/b.html"};
    test::writeFile(pages[0], kLinkPage);
    test::writeFile(pages[1], big);
    const std::vector<ino_t> before = {inodeOf(pages[0]), inodeOf(pages[1])};
    RunBackup backup(data.file("Sicherungen"), RunKind::Local, site);
    LocalRunParameters parameters = LocalRunParameters::over(pages);
    parameters.hooks = keepingOriginalsInBatches(backup);
    runLocalEncoding(parameters);
    for (std::size_t i = 0; i < pages.size(); ++i) {
        const std::string original = backup.folder() + "/" + localMirrorPath(pages[i]);
        EXPECT_EQ(test::readFile(original), i == 0 ? kLinkPage : big);
        EXPECT_NE(test::readFile(pages[i]), test::readFile(original));
        EXPECT_NE(inodeOf(original), before[i]);
    }
}

}  // namespace
}  // namespace quill
