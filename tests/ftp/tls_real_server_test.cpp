#include <gtest/gtest.h>

#include <memory>
#include <random>

#include "ftp/ftp_client.hpp"
#include "support/pyftpdlib_server.hpp"
#include "support/temp_folder.hpp"
#include "support/test_certificate.hpp"
#include "support/vsftps_server.hpp"

namespace quill::ftp {
namespace {

enum class Server { Vsftpd, PyftpdlibTls };

struct Setting {
    Server server;
    bool passive;
};

std::string settingName(const ::testing::TestParamInfo<Setting>& info) {
    return std::string(info.param.server == Server::Vsftpd ? "Vsftpd" : "PyftpdlibTls") +
           (info.param.passive ? "Passive" : "Active");
}

// A real FTPS server that requires TLS for the login and every data
// connection; the client trusts exactly its certificate.
class FtpsLadder : public ::testing::TestWithParam<Setting> {
protected:
    void SetUp() override {
        if (GetParam().server == Server::Vsftpd) {
            if (!test::VsftpsServer::available()) GTEST_SKIP() << "vsftpd needs root";
            vsftpd = std::make_unique<test::VsftpsServer>();
            root = vsftpd->root();
            fingerprint = vsftpd->certificate().fingerprint();
            client.Port = vsftpd->port();
            client.Username = vsftpd->user();
            client.Password = "-";
        } else {
            certificate.writePemFile(local.file("server.pem"));
            pyftpdlib = std::make_unique<test::PyftpdlibServer>(
                "quill", "geheim", test::PyftpdlibServer::Masks::Globbed, 0, local.file("server.pem"));
            root = pyftpdlib->root().path();
            fingerprint = certificate.fingerprint();
            client.Port = pyftpdlib->port();
            client.Username = pyftpdlib->user();
            client.Password = pyftpdlib->password();
        }
        client.Host = "127.0.0.1";
        client.UseTLS = true;
        client.TrustCertificate = [this](const std::string&, const PeerCertificate& offered) {
            return offered.fingerprint == fingerprint;
        };
        client.Passive = GetParam().passive;
        client.ReadTimeout = 20000;
        client.TransferTimeout = 20000;
        client.AcceptTimeout = 20000;
        client.Connect();
        if (vsftpd) client.ChangeFolder(test::VsftpsServer::kWritableFolder);
    }

    test::TestCertificate certificate;
    test::TempFolder local;
    std::unique_ptr<test::VsftpsServer> vsftpd;
    std::unique_ptr<test::PyftpdlibServer> pyftpdlib;
    std::string root;
    std::string fingerprint;
    TFTPClient client;
};

// Pages of every size go up and come back byte for byte; a connection that
// ended in a reset, or an upload cut short, shows as a difference or an error.
TEST_P(FtpsLadder, EverySizeMovesByteExactBothWays) {
    std::mt19937 generator(24);
    for (const std::size_t size :
         {std::size_t{0}, std::size_t{1000}, std::size_t{100000}, std::size_t{1000000}, std::size_t{50000000}}) {
        SCOPED_TRACE(size);
        std::string page(size, '\0');
        for (auto& byte : page) byte = static_cast<char>(generator() & 0xFF);
        const std::string name = "seite-" + std::to_string(size) + ".html";
        client.Upload(local.write(name, page), name, false);
        EXPECT_TRUE(test::readFile(root + "/" + name) == page) << "stored on the server";
        client.Download(name, local.file("back.html"), true, false);
        EXPECT_TRUE(local.read("back.html") == page) << "downloaded";
    }
    StringList names;
    client.ListNames(names, "seite-*.html");
    EXPECT_EQ(names.size(), 5u);
}

INSTANTIATE_TEST_SUITE_P(Servers, FtpsLadder,
                         ::testing::Values(Setting{Server::Vsftpd, true}, Setting{Server::Vsftpd, false},
                                           Setting{Server::PyftpdlibTls, true}, Setting{Server::PyftpdlibTls, false}),
                         settingName);

}  // namespace
}  // namespace quill::ftp
