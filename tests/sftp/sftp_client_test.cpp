#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>

#include "remote_folder/remote_tree.hpp"
#include "sftp/sftp_errors.hpp"
#include "sftp/sftp_remote_folder.hpp"
#include "sftp_test_support.hpp"
#include "support/sshd_server.hpp"

namespace quill::test {
namespace {

using sftp::EntryType;

class SftpAgainstSshd : public ::testing::Test {
protected:
    void SetUp() override {
        if (!SshdServer::canRun()) GTEST_SKIP() << "sshd needs root";
        server_ = std::make_unique<SshdServer>();
        fixture_ = std::make_unique<SftpClientFixture>(server_->port());
        client().Username = server_->user();
    }
    sftp::SftpClient& client() { return fixture_->client; }
    std::unique_ptr<SshdServer> server_;
    std::unique_ptr<SftpClientFixture> fixture_;
};

const sftp::RemoteEntry* entryNamed(const std::vector<sftp::RemoteEntry>& entries, const std::string& name) {
    const auto found =
        std::find_if(entries.begin(), entries.end(), [&](const sftp::RemoteEntry& e) { return e.name == name; });
    return found == entries.end() ? nullptr : &*found;
}

std::size_t openDescriptors() {
    std::size_t count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) ++count;
    return count;
}

mode_t modeOf(const std::string& path) {
    struct stat info {};
    ::stat(path.c_str(), &info);
    return info.st_mode & 07777;
}

TEST_F(SftpAgainstSshd, PasswordLoginListsTransfersAndReplacesAPageKeepingItsPermissions) {
    const std::string page = "<a href=\"mailto:a@b.de\">a@b.de</a>\r\n" + std::string(70000, 'x');
    server_->put("site/index.html", page, 0640);
    server_->put("site/sub/inner.html", "inner");
    ASSERT_EQ(::symlink("index.html", server_->path("site/link.html").c_str()), 0);
    client().Password = server_->password();
    const std::size_t descriptorsBefore = openDescriptors();

    client().Connect();
    // The question shows what ssh-keygen shows for the server's key.
    ASSERT_EQ(fixture_->asked.size(), 1u);
    EXPECT_EQ(fixture_->asked[0],
              "127.0.0.1:" + std::to_string(server_->port()) + " ssh-ed25519 " + server_->hostFingerprint());
    EXPECT_EQ(client().Login(), sftp::LoginMethod::Password);

    client().ChangeFolder("site");
    const auto entries = client().List();
    ASSERT_EQ(entries.size(), 3u);
    ASSERT_NE(entryNamed(entries, "index.html"), nullptr);
    EXPECT_EQ(entryNamed(entries, "index.html")->type, EntryType::File);
    EXPECT_EQ(entryNamed(entries, "index.html")->size, page.size());
    EXPECT_EQ(entryNamed(entries, "sub")->type, EntryType::Folder);
    EXPECT_EQ(entryNamed(entries, "link.html")->type, EntryType::Link);

    TempFolder local;
    // The meter hears every piece: rising counts that end at the file's size.
    std::vector<std::pair<std::uint64_t, std::uint64_t>> heard;
    const auto meter = [&heard](std::uint64_t done, std::uint64_t size) { heard.emplace_back(done, size); };
    const auto expectCountsUpTo = [&heard](std::uint64_t size) {
        ASSERT_GE(heard.size(), 2u);
        EXPECT_TRUE(std::is_sorted(heard.begin(), heard.end()));
        EXPECT_EQ(heard.back(), std::pair(size, size));
        heard.clear();
    };
    client().Download("index.html", local.file("copy.html"), meter);
    EXPECT_EQ(readFile(local.file("copy.html")), page);
    expectCountsUpTo(page.size());

    const std::string rewritten = page + "rewritten";
    writeFile(local.file("copy.html"), rewritten);
    const auto permissions = client().Permissions("index.html");
    ASSERT_TRUE(permissions.has_value());
    EXPECT_EQ(*permissions, 0640u);
    EXPECT_FALSE(client().Permissions("missing.html").has_value());
    client().Upload(local.file("copy.html"), ".upload.tmp", 0600, meter);
    expectCountsUpTo(rewritten.size());
    EXPECT_EQ(modeOf(server_->path("site/.upload.tmp")), 0600u);
    client().Chmod(".upload.tmp", *permissions);
    ASSERT_TRUE(client().RenameReplaces());
    client().Rename(".upload.tmp", "index.html");
    EXPECT_EQ(readFile(server_->path("site/index.html")), rewritten);
    EXPECT_EQ(modeOf(server_->path("site/index.html")), 0640u);

    client().Remove("index.html");
    EXPECT_EQ(::access(server_->path("site/index.html").c_str(), F_OK), -1);
    EXPECT_THROW(client().Download("index.html", local.file("gone.html")), sftp::ESftpStatus);
    client().Disconnect();
    EXPECT_FALSE(client().Connected());
    // The connection's socket went with it.
    EXPECT_EQ(openDescriptors(), descriptorsBefore);
}

TEST_F(SftpAgainstSshd, KeyLoginComesFirstAndSendsNoPassword) {
    server_->authorize(makeKeyPair(fixture_->home.file(".ssh/id_ed25519")));
    // A wrong password would fail the login if it were tried.
    client().Password = "falsch";
    client().Connect();
    EXPECT_EQ(client().Login(), sftp::LoginMethod::PublicKey);
    EXPECT_TRUE(client().Connected());
}

TEST_F(SftpAgainstSshd, KnownHostsDecidesWithoutAQuestion) {
    const std::string hostName = "[127.0.0.1]:" + std::to_string(server_->port());
    const std::string otherKey = makeKeyPair(fixture_->home.file("other/id_ed25519"));
    client().Password = server_->password();

    fixture_->home.write(".ssh/known_hosts", hostName + " " + server_->hostKey() + "\n");
    client().Connect();
    EXPECT_TRUE(client().Connected());
    client().Disconnect();

    fixture_->home.write(".ssh/known_hosts", hostName + " " + otherKey + "\n");
    try {
        client().Connect();
        FAIL() << "a changed key was taken";
    } catch (const sftp::EHostKeyRefused& refused) {
        const std::string text = refused.what();
        EXPECT_NE(text.find(server_->hostFingerprint()), std::string::npos) << text;
        // The known key's fingerprint is named as well.
        EXPECT_NE(text.find("SHA256:", text.find("SHA256:") + 1), std::string::npos) << text;
        EXPECT_NE(text.find("geändert"), std::string::npos) << text;
    }
    EXPECT_TRUE(fixture_->asked.empty());
    EXPECT_FALSE(client().Connected());
}

TEST_F(SftpAgainstSshd, AKeyNobodyTrustsEndsTheConnection) {
    fixture_.reset();  // its HOME goes back before the next one sets its own
    fixture_ = std::make_unique<SftpClientFixture>(server_->port(), false);
    client().Username = server_->user();
    client().Password = server_->password();
    EXPECT_THROW(client().Connect(), sftp::EHostKeyRefused);
    EXPECT_EQ(fixture_->asked.size(), 1u);
    EXPECT_FALSE(client().Connected());
}

// The walk over the server's folders sees what the local folder search would:
// files of nested folders, in its order, and no link followed.
TEST_F(SftpAgainstSshd, AWalkOverTheFoldersKeepsItsBoundsAndFollowsNoLink) {
    server_->put("site/b.html", "b");
    server_->put("site/A/z.html", "z");
    server_->put("site/A/deep/x.htm", "x");
    server_->put("site/.hidden/h.html", "h");
    ASSERT_EQ(::symlink("..", server_->path("site/A/up").c_str()), 0);
    sftp::SftpRemoteFolder folder(static_cast<std::uint16_t>(server_->port()));
    folder.connect({"127.0.0.1",
                    server_->user(),
                    server_->password(),
                    false,
                    false,
                    {},
                    [](const std::string&, const sftp::HostKey&) { return true; }});
    folder.changeFolder("site");
    const std::string start = folder.currentFolder();
    EXPECT_EQ(start, server_->path("site"));

    const remote::RemoteTree tree = remote::walkRemoteTree(folder, nullptr);
    std::vector<std::string> paths;
    for (const auto& file : tree.files) paths.push_back(file.path);
    EXPECT_EQ(paths, (std::vector<std::string>{"b.html", "A/z.html", "A/deep/x.htm"}));
    EXPECT_EQ(tree.folders, 3u);

    // A walk ends in the folder it listed last; each starts at the site again.
    folder.changeFolder(start);
    EXPECT_THROW(remote::walkRemoteTree(folder, nullptr, {2, 100000, 1 << 20}), remote::ETreeBoundExceeded);
    folder.changeFolder(start);
    EXPECT_THROW(remote::walkRemoteTree(folder, nullptr, {32, 100000, 20}), remote::ETreeBoundExceeded);
}

}  // namespace
}  // namespace quill::test
