#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "cli_test_support.hpp"
#include "support/pyftpdlib_server.hpp"
#include "support/temp_folder.hpp"

namespace quill::cli::test {
namespace {

namespace fs = std::filesystem;

class CliRemoteUndo : public quill::test::InTempWorkingFolder {};

ino_t inodeOf(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? info.st_ino : 0;
}

// A run over the server's folders keeps the pages it uploads; "undo" puts
// back every page still as the run left it, through a temporary name and a
// rename, and names and leaves a page edited on the server since.
TEST_F(CliRemoteUndo, RestoresTheServersPagesAndLeavesOneEditedSince) {
    const quill::test::PyftpdlibServer server;
    const std::string index = "<a href=\"mailto:a@b.de\">Mail</a>\r\n";
    const std::string anna = "<p>mailto: anna@b.de</p>\n";
    const std::string bob = "<a href=\"mailto:bob@b.de\">Bob</a>\n";
    const std::string plain = "<p>Nur Text</p>\n";
    server.root().write("web/index.html", index);
    server.root().write("web/team/anna.html", anna);
    server.root().write("web/team/bob.html", bob);
    server.root().write("web/team/ohne.html", plain);
    const quill::test::TempFolder secrets;
    const std::string password = secrets.write("passwort", server.password() + "\n");
    ::chmod(password.c_str(), 0600);
    const std::vector<std::string> login = {
        "--port", std::to_string(server.port()), "--user", server.user(), "--password-file", password};

    std::vector<std::string> run = {"remote", "--recursive", "--host", "127.0.0.1", "--folder", "/web"};
    run.insert(run.end(), login.begin(), login.end());
    const Outcome encoded = runInProcess(run);
    ASSERT_EQ(encoded.code, 0) << encoded.err;
    ASSERT_NE(server.root().read("web/team/anna.html"), anna);

    const Outcome listed = runInProcess({"backups"});
    EXPECT_NE(listed.out.find("  FTP  127.0.0.1 /web  3 Dateien\n"), std::string::npos) << listed.out;

    server.root().write("web/team/bob.html", "von Hand");
    const ino_t before = inodeOf(server.root().file("web/index.html"));
    std::vector<std::string> undo = {"undo"};
    undo.insert(undo.end(), login.begin(), login.end());
    const Outcome undone = runInProcess(undo);
    EXPECT_EQ(undone.code, 1) << undone.err;  // one page left alone
    EXPECT_NE(undone.out.find("/web/team/bob.html: seit dem Lauf geändert"), std::string::npos) << undone.out;
    EXPECT_EQ(server.root().read("web/index.html"), index);
    EXPECT_EQ(server.root().read("web/team/anna.html"), anna);
    EXPECT_EQ(server.root().read("web/team/bob.html"), "von Hand");
    EXPECT_EQ(server.root().read("web/team/ohne.html"), plain);
    // Put in place by a rename: a new file, and no temporary one left.
    EXPECT_NE(inodeOf(server.root().file("web/index.html")), before);
    EXPECT_EQ(std::distance(fs::directory_iterator(server.root().file("web/team")), {}), 3);
    EXPECT_NE(runInProcess({"backups"}).out.find("(rückgängig gemacht)"), std::string::npos);

    // Another server than the run's: refused before anything is sent.
    std::vector<std::string> elsewhere = {"undo", listed.out.substr(0, listed.out.find(' ')), "--host", "127.0.0.2"};
    elsewhere.insert(elsewhere.end(), login.begin(), login.end());
    const Outcome refused = runInProcess(elsewhere);
    EXPECT_EQ(refused.code, 3);
    EXPECT_NE(refused.err.find("127.0.0.1"), std::string::npos) << refused.err;
}

}  // namespace
}  // namespace quill::cli::test
