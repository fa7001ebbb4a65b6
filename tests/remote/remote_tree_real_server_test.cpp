// Remote runs over a whole site against real servers: each listing format
// they speak gives the pages a local run over the same tree gives, and a
// page the run did not change is not written again.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>
#include <optional>

#include "remote_run_harness.hpp"
#include "runs/encoding_runs.hpp"
#include "support/proftpd_server.hpp"
#include "support/pyftpdlib_server.hpp"
#include "support/temp_folder.hpp"
#include "support/vsftpd_server.hpp"

namespace quill::ftp {
namespace {

namespace fs = std::filesystem;
using test::ProftpdServer;
using test::PyftpdlibServer;
using test::VsftpdServer;

// Three levels, pages with and without addresses, and a file no mask takes.
const std::map<std::string, std::string> kSite = {
    {"index.html", "<a href=\"mailto:info@site.de\">Info</a>\r\n"},
    {"team/index.html", "<A HREF=\"mailto:anna@site.de\">Anna</A> und <a href=\"mailto:info@site.de\">Info</a>\n"},
    {"team/ohne.html", "Nur Text.\r\n"},
    {"produkte/liste.htm", "<p>Schreiben Sie an mailto:vertrieb</p>\r\n"},
    {"blog/2026/post.html", "<a href=\"mailto:blog@site.de\">Blog</a> und info@site.de\r\n"},
    {"blog/2026/alt.html", "Kein Link.\r\n"},
    {"blog/style.css", "a { color: red }\n"},
};
const StringList kMasks = {"*.html", "*.htm"};
const auto kOld = fs::file_time_type::clock::now() - std::chrono::hours(24 * 400);

enum class Server { Mlsd, UnixList, DosList, NamesOnly, Vsftpd, Proftpd };

struct FileState {
    std::string bytes;
    fs::file_time_type modified;
    bool operator==(const FileState&) const = default;
};

// Every file below a folder (links not followed) with its bytes and time.
std::map<std::string, FileState> snapshot(const std::string& folder) {
    std::map<std::string, FileState> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        if (entry.is_symlink() || !entry.is_regular_file()) continue;
        files[fs::relative(entry.path(), folder).string()] = {test::readFile(entry.path().string()),
                                                              entry.last_write_time()};
    }
    return files;
}

// One of the servers, started on a fresh root.
class SiteServer {
public:
    explicit SiteServer(Server kind) {
        if (kind == Server::Vsftpd) {
            vsftpd_.emplace();
            return;
        }
        if (kind == Server::Proftpd) {
            proftpd_.emplace(ProftpdServer::Overwrite::Allowed);
            return;
        }
        const PyftpdlibServer::Listings listings[] = {
            PyftpdlibServer::Listings::Full, PyftpdlibServer::Listings::UnixList, PyftpdlibServer::Listings::DosList,
            PyftpdlibServer::Listings::NamesOnly};
        pyftpdlib_.emplace("quill", "geheim", PyftpdlibServer::Masks::Globbed, 0, "", listings[static_cast<int>(kind)]);
    }

    std::string root() const {
        if (vsftpd_) return vsftpd_->root().path();
        return proftpd_ ? proftpd_->root() : pyftpdlib_->root().path();
    }
    // Files written into the root become the server's to change.
    void handOver() const {
        if (vsftpd_) vsftpd_->openUp();
        if (proftpd_) proftpd_->handOver();
    }
    std::uint16_t port() const {
        if (vsftpd_) return vsftpd_->port();
        return proftpd_ ? proftpd_->port() : pyftpdlib_->port();
    }
    std::string user() const {
        if (vsftpd_) return VsftpdServer::kUser;
        return proftpd_ ? proftpd_->user() : pyftpdlib_->user();
    }
    std::string password() const {
        if (vsftpd_) return VsftpdServer::kPassword;
        return proftpd_ ? proftpd_->password() : pyftpdlib_->password();
    }

private:
    std::optional<PyftpdlibServer> pyftpdlib_;
    std::optional<VsftpdServer> vsftpd_;
    std::optional<ProftpdServer> proftpd_;
};

class RemoteTreeRealServer : public test::InTempWorkingFolder, public ::testing::WithParamInterface<Server> {
protected:
    void SetUp() override {
        if (GetParam() == Server::Vsftpd && !VsftpdServer::available()) GTEST_SKIP() << "vsftpd needs root";
        if (GetParam() == Server::Proftpd && !ProftpdServer::available())
            GTEST_SKIP() << "proftpd needs root and scripts/deps";
        InTempWorkingFolder::SetUp();
        server = std::make_unique<SiteServer>(GetParam());
        run = std::make_unique<test::RemoteRunHarness>(server->port());
        run->fields = {"127.0.0.1", server->user(), server->password(), "/site", true, false, true};
    }

    void writeSite(const std::string& folder) const {
        for (const auto& [path, bytes] : kSite) {
            const std::string file = folder + "/" + path;
            fs::create_directories(fs::path(file).parent_path());
            test::writeFile(file, bytes);
            fs::last_write_time(file, kOld);
        }
    }

    std::string siteOnServer() const { return server->root() + "/site"; }

    std::unique_ptr<SiteServer> server;
    std::unique_ptr<test::RemoteRunHarness> run;
};

TEST_P(RemoteTreeRealServer, EncodesEveryPageAsALocalRunAndUploadsOnlyTheChangedOnes) {
    writeSite(siteOnServer());
    // The same site encoded by a local run over its sub-folders.
    const test::TempFolder local;
    writeSite(local.path());
    runLocalEncoding(LocalRunParameters::over(searchFolder(local.path(), kMasks, true)));
    // vsftpd and proftpd list links as links: one that loops is passed over.
    if (GetParam() == Server::Vsftpd || GetParam() == Server::Proftpd)
        fs::create_directory_symlink(".", siteOnServer() + "/team/schleife");
    server->handOver();
    const auto before = snapshot(siteOnServer());

    EXPECT_EQ(run->runFailure(kMasks), "");

    ASSERT_FALSE(run->messages.empty());
    EXPECT_EQ(run->messages[0], "Die E-Mail-Adressen wurden erfolgreich kodiert!\r\n5 Ordner durchsucht.");
    EXPECT_EQ(run->fileBox, (StringList{"index.html", "blog/2026/alt.html", "blog/2026/post.html", "team/index.html",
                                        "team/ohne.html", "produkte/liste.htm"}));
    const auto after = snapshot(siteOnServer());
    const auto expected = snapshot(local.path());
    ASSERT_EQ(after.size(), kSite.size());
    for (const auto& [path, state] : after) {
        SCOPED_TRACE(path);
        ASSERT_EQ(expected.count(path), 1u);
        EXPECT_EQ(state.bytes, expected.at(path).bytes);
        // Written again exactly when its bytes changed.
        EXPECT_EQ(state.modified == before.at(path).modified, state.bytes == before.at(path).bytes);
    }
    EXPECT_NE(after.at("team/index.html").bytes, before.at("team/index.html").bytes);
    EXPECT_EQ(after.at("team/ohne.html"), before.at("team/ohne.html"));
    // Nothing is left behind: neither the copies nor their folders.
    EXPECT_TRUE(fs::is_empty(work().file("FTP-Inhalt")));
}

TEST_P(RemoteTreeRealServer, ATreeDeeperThanTheBoundIsRefusedAndLeftAsItWas) {
    writeSite(siteOnServer());
    std::string deep = siteOnServer();
    for (int level = 2; level <= 33; ++level) {
        deep += "/d";
        fs::create_directory(deep);
    }
    test::writeFile(deep + "/tief.html", "<a href=\"mailto:tief@site.de\">Tief</a>");
    server->handOver();
    const auto before = snapshot(siteOnServer());

    const std::string failure = run->runFailure(kMasks);

    EXPECT_NE(failure.find("tiefer als 32 Ebenen"), std::string::npos) << failure;
    EXPECT_TRUE(run->messages.empty());
    EXPECT_EQ(snapshot(siteOnServer()), before);
}

std::string serverName(const ::testing::TestParamInfo<Server>& info) {
    static const char* const kNames[] = {"Mlsd", "UnixList", "DosList", "NamesOnly", "Vsftpd", "Proftpd"};
    return kNames[static_cast<int>(info.param)];
}

INSTANTIATE_TEST_SUITE_P(Servers, RemoteTreeRealServer,
                         ::testing::Values(Server::Mlsd, Server::UnixList, Server::DosList, Server::NamesOnly,
                                           Server::Vsftpd, Server::Proftpd),
                         serverName);

// A server that shows a link to its own folder as a folder: the walk goes
// round until the bound stops it, before any page is touched.
using RemoteTreeRealServerLoop = test::InTempWorkingFolder;

TEST_F(RemoteTreeRealServerLoop, ALinkLoopShownAsAFolderIsRefusedAndLeftAsItWas) {
    PyftpdlibServer server;
    server.root().write("site/index.html", "<a href=\"mailto:info@site.de\">Info</a>");
    fs::create_directory_symlink(".", server.root().file("site/schleife"));
    const auto before = snapshot(server.root().file("site"));
    test::RemoteRunHarness run(server.port());
    run.fields = {"127.0.0.1", server.user(), server.password(), "/site", true, false, true};
    const std::string failure = run.runFailure({"*.html"});
    EXPECT_NE(failure.find("tiefer als 32 Ebenen"), std::string::npos) << failure;
    EXPECT_TRUE(run.messages.empty());
    EXPECT_EQ(snapshot(server.root().file("site")), before);
}

}  // namespace
}  // namespace quill::ftp
