#include <gtest/gtest.h>

#include <random>

#include "ftp/ftp_client.hpp"
#include "net/ftp_errors.hpp"
#include "support/pyftpdlib_server.hpp"
#include "support/temp_folder.hpp"

namespace quill::ftp {
namespace {

std::string allByteValues() {
    std::string bytes;
    for (int round = 0; round < 3; ++round) {
        for (int value = 0; value < 256; ++value) bytes += static_cast<char>(value);
    }
    bytes += "\r\n\n\r";  // line ends must not be touched either
    return bytes;
}

std::string randomBytes(std::size_t size) {
    std::mt19937 generator(2026);
    std::string bytes(size, '\0');
    for (auto& byte : bytes) byte = static_cast<char>(generator() & 0xFF);
    return bytes;
}

// The same session against a real server, once in each data connection mode.
class RealServer : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override {
        server.root().write("web/index.html", "<a href=\"mailto:x@y.de\">");
        server.root().write("web/kontakt.HTML", "kontakt");
        server.root().write("web/bild.jpg", "jpeg");
        server.root().write("web/sub/inner.html", "inner");
        client.Host = "127.0.0.1";
        client.Port = server.port();
        client.Username = server.user();
        client.Password = server.password();
        client.Passive = GetParam();
        client.ReadTimeout = 10000;
        client.TransferTimeout = 10000;
        client.AcceptTimeout = 10000;
        client.Connect();
    }

    test::PyftpdlibServer server;
    test::TempFolder local;
    TFTPClient client;
};

TEST_P(RealServer, ListsByMaskInTheChangedFolder) {
    client.ChangeFolder("/web");
    StringList names;
    client.ListNames(names, "*.html");
    EXPECT_EQ(names, (StringList{"index.html", "kontakt.HTML"}));
    client.ListNames(names, "*.jpg");
    EXPECT_EQ(names, StringList{"bild.jpg"});
    EXPECT_THROW(client.ListNames(names, "*.gif"), EReplyError);
    EXPECT_EQ(client.TransferType(), ftBinary);
    EXPECT_THROW(client.ChangeFolder("/nowhere"), EReplyError);
    client.ListNames(names, "*.jpg");  // still logged in, still in /web
    EXPECT_EQ(names, StringList{"bild.jpg"});
}

TEST_P(RealServer, DownloadsAndUploadsEveryByteUnchanged) {
    const std::pair<const char*, std::string> files[] = {
        {"bytes.bin", allByteValues()},
        {"empty.bin", ""},
        {"large.bin", randomBytes(5 * 1024 * 1024 + 123)},
    };
    for (const auto& [name, bytes] : files) {
        SCOPED_TRACE(name);
        server.root().write(name, bytes);
        client.Download(name, local.file(name), true, false);
        EXPECT_TRUE(test::readFile(local.file(name)) == bytes);

        const std::string copy = std::string("copy-") + name;
        client.Upload(local.file(name), copy, false);
        EXPECT_TRUE(server.root().read(copy) == bytes);
    }
    // Replacing a longer file on both sides leaves only the new bytes.
    client.Upload(local.file("empty.bin"), "copy-large.bin", false);
    EXPECT_EQ(server.root().read("copy-large.bin"), "");
    client.Download("bytes.bin", local.file("large.bin"), true, false);
    EXPECT_TRUE(test::readFile(local.file("large.bin")) == allByteValues());
}

TEST_P(RealServer, RefusedDownloadLeavesAnEmptyFileAndTheSessionUsable) {
    EXPECT_THROW(client.Download("missing.html", local.file("missing.html"), true, false), EReplyError);
    EXPECT_EQ(test::readFile(local.file("missing.html")), "");
    client.Download("web/index.html", local.file("index.html"), true, false);
    EXPECT_EQ(test::readFile(local.file("index.html")), "<a href=\"mailto:x@y.de\">");
    client.Disconnect();
    EXPECT_FALSE(client.Connected());
}

INSTANTIATE_TEST_SUITE_P(Modes, RealServer, ::testing::Values(true, false),
                         [](const auto& info) { return info.param ? "Passive" : "Active"; });

TEST(RealServerLogin, WrongPasswordIsRefusedWithTheServerText) {
    test::PyftpdlibServer server;
    TFTPClient client;
    client.Host = "LOCALHOST";
    client.Port = server.port();
    client.Username = server.user();
    client.Password = "falsch";
    try {
        client.Connect();
        FAIL() << "logged in with a wrong password";
    } catch (const EReplyError& e) {
        EXPECT_EQ(e.code(), 530);
        EXPECT_EQ(std::string(e.what()), "Authentication failed.\r\n");
    }
    EXPECT_FALSE(client.Connected());
}

}  // namespace
}  // namespace quill::ftp
