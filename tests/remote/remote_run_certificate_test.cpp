#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

#include "files/file_io.hpp"
#include "ftp/ftp_client.hpp"
#include "net/tls_errors.hpp"
#include "remote/remote_run.hpp"
#include "runs/encoding_runs.hpp"
#include "settings/ini_file.hpp"
#include "settings/settings_file.hpp"
#include "support/pyftpdlib_server.hpp"
#include "support/temp_folder.hpp"
#include "support/test_certificate.hpp"

namespace quill::ftp {
namespace {

using test::PyftpdlibServer;

const std::string kPage = "<a href=\"mailto:a@b.de\">Mail</a>";

// Runs against real TLS servers on the same host, each with a certificate of
// its own, answering the certificate question from a list.
class RemoteRunCertificate : public test::InTempWorkingFolder {
protected:
    // A fresh server with a new certificate replaces the one before.
    void startServer() {
        server.reset();
        certificate.emplace();
        certificate->writePemFile(keys.file("server.pem"));
        server.emplace("quill", "geheim", PyftpdlibServer::Masks::Globbed, 0, keys.file("server.pem"));
        server->root().write("index.html", kPage);
        client.Port = server->port();
    }

    // The message of the error that ended the run, or "" when it went through.
    std::string run(bool answer) {
        RemoteRunFields fields{"127.0.0.1", "quill", "geheim", "", true, true};
        RemoteRunView view{[&](const RunOutcome&) {}, [] {}};
        view.askQuestion = [&](const std::string& question) {
            questions.push_back(question);
            return answer;
        };
        try {
            FTP_Go(client, fields, {"*.html"}, runs, fileBox, view);
        } catch (const EFTPError& failure) {
            return failure.what();
        }
        return {};
    }

    std::string pinned() const { return IniFile(settingsFilePath()).readString("FTP-Zertifikate", "127.0.0.1", ""); }

    test::TempFolder keys;
    std::optional<test::TestCertificate> certificate;
    std::optional<PyftpdlibServer> server;
    TFTPClient client;
    EncodingRuns runs;
    StringList fileBox;
    std::vector<std::string> questions;
};

TEST_F(RemoteRunCertificate, NeinEndsTheRunJaIsKeptAndAChangedCertificateAsksAgain) {
    startServer();
    EXPECT_EQ(run(false), ECertificateRejected().what());
    EXPECT_EQ(questions.size(), 1u);
    EXPECT_EQ(pinned(), "");
    EXPECT_TRUE(fileBox.empty());
    EXPECT_FALSE(files::fileExists(remoteWorkFolder()));

    EXPECT_EQ(run(true), "");
    EXPECT_EQ(questions.size(), 2u);
    EXPECT_EQ(pinned(), certificate->fingerprint());
    EXPECT_NE(server->root().read("index.html"), kPage);

    EXPECT_EQ(run(false), "");
    EXPECT_EQ(questions.size(), 2u);

    const std::string trusted = certificate->fingerprint();
    startServer();
    EXPECT_EQ(run(false), ECertificateRejected().what());
    ASSERT_EQ(questions.size(), 3u);
    EXPECT_EQ(questions[2].rfind("Achtung: Das Zertifikat dieses Servers hat sich geändert!", 0), 0u) << questions[2];
    EXPECT_EQ(pinned(), trusted);
    EXPECT_EQ(server->root().read("index.html"), kPage);
}

}  // namespace
}  // namespace quill::ftp
