#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "remote/remote_run.hpp"
#include "remote/server_connection.hpp"
#include "runs/encoding_runs.hpp"
#include "settings/settings_file.hpp"
#include "support/environment_scope.hpp"
#include "support/sshd_server.hpp"
#include "support/temp_folder.hpp"

namespace quill::test {
namespace {

const std::string kIndex = "<a href=\"mailto:a@b.de\">Mail</a>\r\n<p>Schreiben Sie: MaIlTo:info</p>\r\n";
const std::string kContact = "<A HREF=\"mailto:c@d.de\" class=\"x\">B\xc3\xbcro \xe2\x80\x93 Kontakt</A>\n";
const std::string kPlain = "Nur Text, kein Link.\r\n";
const std::string kInner = "<a href=\"mailto:e@f.de\">Mail</a>";
const std::string kPicture("\x89PNG\r\n\x1a\n\0\x01", 10);

mode_t modeOf(const std::string& path) {
    struct stat info {};
    ::lstat(path.c_str(), &info);
    return info.st_mode;
}

// A whole remote run against a real sshd gives the server's pages the bytes
// a local run gives a copy of them, keeps what is not a page, and asks about
// the host key once.
class RemoteRunOverSftp : public InTempWorkingFolder {
protected:
    void SetUp() override {
        if (!SshdServer::canRun()) GTEST_SKIP() << "sshd needs root";
        InTempWorkingFolder::SetUp();
        server_ = std::make_unique<SshdServer>();
    }

    struct Result {
        std::vector<std::string> messages;
        std::vector<std::string> questions;
        StringList fileBox;
    };

    Result run(bool answer, bool subfolders = false) {
        ftp::RemoteRunFields fields{"sftp://127.0.0.1:" + std::to_string(server_->port()),
                                    server_->user(),
                                    server_->password(),
                                    "web",
                                    true,
                                    true};
        fields.subfolders = subfolders;
        EncodingRuns runs;
        Result result;
        ftp::RemoteRunView view{[&](const RunOutcome& m) { result.messages.push_back(m.text); }, [] {}};
        view.askQuestion = [&](const std::string& question) {
            result.questions.push_back(question);
            return answer;
        };
        const auto connection = remote::serverConnection();
        ftp::FTP_Go(*connection, fields, {"*.htm", "*.png"}, runs, result.fileBox, view);
        return result;
    }

    TempFolder home_;
    EnvironmentScope environment_{{"HOME", home_.path()}, {"SSH_AUTH_SOCK", std::nullopt}};
    std::unique_ptr<SshdServer> server_;
};

TEST_F(RemoteRunOverSftp, RewritesThePagesByteForByteAsTheLocalRunAndAsksOnce) {
    const std::vector<std::pair<std::string, std::string>> site{
        {"index.html", kIndex}, {"kontakt.html", kContact}, {"ohne.html", kPlain}, {"bild.png", kPicture}};
    TempFolder local;
    for (const auto& [name, bytes] : site) {
        server_->put("web/" + name, bytes, 0640);
        local.write(name, bytes);
    }
    server_->put("web/sub/inner.html", kInner);
    ASSERT_EQ(::symlink("index.html", server_->path("web/verweis.html").c_str()), 0);

    runLocalEncoding(LocalRunParameters::over(searchFolder(local.path(), {"*.htm", "*.png"}, false)));

    const Result first = run(true);
    ASSERT_EQ(first.questions.size(), 1u);
    EXPECT_NE(first.questions[0].find(server_->hostFingerprint()), std::string::npos) << first.questions[0];
    ASSERT_FALSE(first.messages.empty());
    EXPECT_EQ(first.messages[0], "Die E-Mail-Adressen wurden erfolgreich kodiert!");
    for (const auto& [name, bytes] : site) {
        EXPECT_EQ(readFile(server_->path("web/" + name)), local.read(name)) << name;
        EXPECT_EQ(modeOf(server_->path("web/" + name)) & 07777, 0640u) << name;
    }
    EXPECT_NE(readFile(server_->path("web/index.html")), kIndex);
    // Neither the folder below nor the link was touched.
    EXPECT_EQ(readFile(server_->path("web/sub/inner.html")), kInner);
    EXPECT_TRUE(S_ISLNK(modeOf(server_->path("web/verweis.html"))));
    std::size_t leftOnServer = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(server_->path("web"))) ++leftOnServer;
    EXPECT_EQ(leftOnServer, site.size() + 2);  // no temporary file stays
    EXPECT_NE(
        settings::SettingsFile().hostKey("127.0.0.1:" + std::to_string(server_->port())).find("ssh-ed25519 SHA256:"),
        std::string::npos);

    // The key is trusted now; the pages hold no plain address any more.
    const Result second = run(false);
    EXPECT_TRUE(second.questions.empty());
    ASSERT_FALSE(second.messages.empty());
    EXPECT_EQ(second.messages[0], "Es wurden keine unkodierten E-Mail-Adressen gefunden!");
    EXPECT_EQ(readFile(server_->path("web/index.html")), local.read("index.html"));
}

// With the sub-folder option the run walks the server's folders as it does
// over FTP: a page below is rewritten in its own folder, a link to a folder
// is not followed.
TEST_F(RemoteRunOverSftp, VisitsTheSubFoldersWhenAsked) {
    server_->put("web/index.html", kIndex);
    server_->put("web/sub/inner.html", kInner, 0600);
    ASSERT_EQ(::symlink("..", server_->path("web/sub/oben").c_str()), 0);
    TempFolder local;
    local.write("index.html", kIndex);
    local.write("sub/inner.html", kInner);
    runLocalEncoding(LocalRunParameters::over(searchFolder(local.path(), {"*.htm"}, true)));

    const Result result = run(true, true);
    ASSERT_FALSE(result.messages.empty());
    EXPECT_EQ(readFile(server_->path("web/index.html")), local.read("index.html"));
    EXPECT_EQ(readFile(server_->path("web/sub/inner.html")), local.read("sub/inner.html"));
    EXPECT_NE(readFile(server_->path("web/sub/inner.html")), kInner);
    EXPECT_EQ(modeOf(server_->path("web/sub/inner.html")) & 07777, 0600u);
    EXPECT_TRUE(S_ISLNK(modeOf(server_->path("web/sub/oben"))));
}

}  // namespace
}  // namespace quill::test
