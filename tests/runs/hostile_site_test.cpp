#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>

#include "addresses/address_audit.hpp"
#include "engine/case_blind_replace.hpp"
#include "files/fault_injection.hpp"
#include "files/file_io.hpp"
#include "files/temporary_files.hpp"
#include "runs/local_run.hpp"
#include "support/child_process.hpp"
#include "support/hook_scopes.hpp"
#include "support/recording_observer.hpp"
#include "support/state_home.hpp"
#include "support/temp_folder.hpp"

namespace quill {
namespace {

const StringList kFound = {"x@y.de\">X"};
const std::string kBefore = "<p><a href=\"mailto:x@y.de\">X</a></p>\n";
const std::string kAfter = RunReplacements(kFound).apply(kBefore);
constexpr int kKilled = 3;

// A web folder shared with a second user (sticky and writable by all, as on
// a shared host): the victim's page, the other user's pages (one of them
// hard-linked, so it is rewritten through its inode), and a private file of
// the victim's outside the site.
struct Site {
    test::TempFolder root;
    test::StateHomeScope state;
    std::string site = root.file("site");
    std::string victim = root.write("site/victim.html", kBefore);
    std::string plain = root.write("site/plain.html", kBefore);
    std::string linked = root.write("site/linked.html", kBefore);
    std::string secret = root.write("private/secret.html", "secret");
    std::string out = site + "/out.html";  // where a link out of the site may be planted

    Site() {
        ::chmod(root.path().c_str(), 0755);
        ::chmod(site.c_str(), 01777);
        ::chmod(root.file("private").c_str(), 0700);
        EXPECT_EQ(::link(linked.c_str(), root.file("site/linked-too.html").c_str()), 0);
        for (const auto& page : {plain, linked}) EXPECT_EQ(::chown(page.c_str(), test::kNobody, test::kNobody), 0);
    }
};

// What the second user does, in a child as nobody; returns what it has to say.
std::string asNobody(const std::function<std::string()>& act) {
    const test::NobodysFolder state;
    return test::runInChild([&](const auto& report) {
               files::setFaultHook({});  // the child is not the run
               if (!test::becomeNobody(state.path())) ::_exit(2);
               report(act());
           })
        .report;
}

std::string encode(const StringList& paths) {
    try {
        StringList chosen;
        for (const auto& path : paths) chosen.push_back(files::linkFreePath(path));
        runLocalEncoding(LocalRunParameters::over(chosen));
        return "";
    } catch (const std::exception& error) {
        return error.what();
    }
}

// The rewrite alone, with the found texts given: nothing left by a kill is
// finished first.
void rewriteOnly(const std::string& page) {
    LocalRunParameters run;
    run.rewritten = {page};
    run.foundTexts = kFound;
    run.finishInterruptedRewrites = false;
    runLocalEncoding(run);
}

void killAtInPlaceWrite(const std::string& page) {
    const auto child = test::runInChild([&](const auto&) {
        test::FileFaultScope kill([](files::FileStep step, const std::string&) {
            if (step == files::FileStep::InPlaceWrite) ::_exit(kKilled);
            return 0;
        });
        rewriteOnly(page);
    });
    ASSERT_EQ(child.exitStatus, kKilled);
}

struct Attack {
    std::string name;
    std::function<void(Site&)> plant;  // before the run
    // Struck as nobody when the run is about to replace this page, after reading it.
    std::string Site::*strikeOn;
    std::function<std::string(Site&)> strike;
    std::function<std::string(Site&)> run;  // the victim's run; its error, "" for none
    std::string Site::*named;               // the page the error must name, or none
    std::function<void(Site&, const std::string& struck)> check;
};

TEST(HostileSite, NoPlantedFileSwappedLinkReusedInodeOrSecondRunMakesARunWriteWhereItShouldNot) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to act as a second user";
    const auto encodeAll = [](Site& s) { return encode({s.victim, s.plain, s.linked}); };
    const std::vector<Attack> attacks = {
        {"hard link and links planted at record and temporary names",
         [](Site& s) {
             asNobody([&] {
                 test::writeFile(s.site + "/evil", "EVIL");
                 for (const auto& page : {s.victim, s.linked}) {
                     struct stat info {};
                     ::stat(page.c_str(), &info);
                     char hex[32];
                     std::snprintf(hex, sizeof hex, "%llx", static_cast<unsigned long long>(info.st_ino));
                     ::link((s.site + "/evil").c_str(), (s.site + "/.quill-inplace-" + hex).c_str());
                 }
                 ::symlink(s.secret.c_str(), (s.site + "/.quill-AAAAAAAAAAAA").c_str());
                 ::symlink(s.secret.c_str(), (s.site + "/.quill-backup").c_str());
                 return "";
             });
         },
         nullptr, nullptr, encodeAll, nullptr,
         [](Site& s, const std::string&) {
             for (const auto& page : {s.victim, s.plain, s.linked}) EXPECT_EQ(test::readFile(page), kAfter);
             // Not ours: left where they were.
             EXPECT_EQ(test::readFile(s.site + "/evil"), "EVIL");
             EXPECT_EQ(test::namesIn(s.site).size(), 9u);
         }},
        {"page swapped for a link between read and replace", nullptr, &Site::plain,
         [](Site& s) {
             return asNobody([&] {
                 ::unlink(s.plain.c_str());
                 return std::to_string(::symlink(s.secret.c_str(), s.plain.c_str()));
             });
         },
         encodeAll, &Site::plain,
         [](Site& s, const std::string& struck) {
             EXPECT_EQ(struck, "0");
             EXPECT_EQ(test::readFile(s.victim), kAfter);
         }},
        {"hard-linked page swapped for a link between read and replace", nullptr, &Site::linked,
         [](Site& s) {
             return asNobody([&] {
                 ::rename(s.linked.c_str(), (s.site + "/moved.html").c_str());
                 return std::to_string(::symlink(s.secret.c_str(), s.linked.c_str()));
             });
         },
         encodeAll, &Site::linked,
         [](Site& s, const std::string& struck) {
             EXPECT_EQ(struck, "0");
             EXPECT_EQ(test::readFile(s.site + "/moved.html"), kBefore);
         }},
        {"page appended to during the run", nullptr, &Site::plain,
         [](Site& s) {
             return asNobody([&] {
                 const int fd = ::open(s.plain.c_str(), O_WRONLY | O_APPEND);
                 const bool appended = ::write(fd, "<p>more</p>\n", 12) == 12;
                 ::close(fd);
                 return std::string(appended ? "appended" : "");
             });
         },
         encodeAll, &Site::plain,
         [](Site& s, const std::string& struck) {
             EXPECT_EQ(struck, "appended");
             EXPECT_EQ(test::readFile(s.plain), kBefore + "<p>more</p>\n");
             EXPECT_EQ(test::readFile(s.victim), kAfter);
         }},
        {"a second run over the same folder", nullptr, &Site::victim,
         [](Site& s) {
             return asNobody([&] {
                 try {
                     rewriteOnly(s.plain);
                     return std::string("ran");
                 } catch (const std::exception& error) {
                     return std::string(error.what());
                 }
             });
         },
         encodeAll, nullptr,
         [](Site& s, const std::string& struck) {
             EXPECT_NE(struck.find("wird gerade von einem anderen Lauf bearbeitet"), std::string::npos) << struck;
             for (const auto& page : {s.victim, s.plain, s.linked}) EXPECT_EQ(test::readFile(page), kAfter);
         }},
        {"inode reused after a kill",
         [](Site& s) {
             killAtInPlaceWrite(s.linked);
             ASSERT_EQ(test::namesIn(s.state.folder()).size(), 1u);
             // The page deleted and made anew under the same inode.
             asNobody([&] {
                 test::writeFile(s.linked, "their new page");
                 return "";
             });
         },
         nullptr, nullptr, [](Site& s) { return encode({s.victim}); }, nullptr,
         [](Site& s, const std::string&) {
             EXPECT_EQ(test::readFile(s.linked), "their new page");
             EXPECT_EQ(test::namesIn(s.state.folder()), StringList{});
         }},
        {"a folder choice and an audit after a kill only read", [](Site& s) { killAtInPlaceWrite(s.linked); }, nullptr,
         nullptr,
         [](Site& s) {
             auditFiles(searchFolder(s.site, {"*.html"}, true));
             return std::string();
         },
         nullptr,
         [](Site& s, const std::string&) {
             EXPECT_EQ(test::readFile(s.linked), kBefore);
             EXPECT_EQ(test::namesIn(s.state.folder()).size(), 1u);
             EXPECT_EQ(test::namesIn(s.site).size(), 4u);
         }},
        {"a link planted in the site leads out of it",
         [](Site& s) { asNobody([&] { return std::to_string(::symlink(s.secret.c_str(), s.out.c_str())); }); }, nullptr,
         nullptr,
         [](Site& s) {
             test::RecordingObserver listed;
             try {
                 searchFolder(s.site, {"*.html"}, true, &listed);
             } catch (const std::exception& error) {
                 EXPECT_EQ(listed.foundFiles.size(), 4u);
                 for (const auto& path : listed.foundFiles) EXPECT_EQ(path.find("secret"), std::string::npos);
                 return std::string(error.what());
             }
             return std::string("listed");
         },
         &Site::out, [](Site& s, const std::string&) { EXPECT_EQ(test::readFile(s.secret), "secret"); }},
    };

    for (const auto& attack : attacks) {
        SCOPED_TRACE(attack.name);
        Site site;
        if (attack.plant) attack.plant(site);
        std::string struck;
        bool hit = false;
        test::FileFaultScope pause([&](files::FileStep step, const std::string& path) {
            if (attack.strikeOn && !hit && step == files::FileStep::Rename && path == site.*attack.strikeOn) {
                hit = true;
                struck = attack.strike(site);
            }
            return 0;
        });
        const std::string error = attack.run(site);
        EXPECT_EQ(hit, attack.strikeOn != nullptr);
        if (attack.named)
            EXPECT_NE(error.find(site.*attack.named), std::string::npos) << error;
        else
            EXPECT_EQ(error, "");
        EXPECT_EQ(test::readFile(site.secret), "secret");
        const std::string victim = test::readFile(site.victim);
        EXPECT_TRUE(victim == kBefore || victim == kAfter) << victim;
        attack.check(site, struck);
    }
}

}  // namespace
}  // namespace quill
