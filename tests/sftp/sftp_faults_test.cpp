#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "remote/remote_run.hpp"
#include "remote/server_connection.hpp"
#include "runs/encoding_runs.hpp"
#include "sftp/sftp_errors.hpp"
#include "sftp_test_support.hpp"
#include "support/scripted_sftp_server.hpp"

namespace quill::test {
namespace {

using Behaviour = ScriptedSftpServer::Behaviour;

struct Refusal {
    Behaviour behaviour;
    const char* says;
};

class RefusingServer : public ::testing::TestWithParam<Refusal> {};

TEST_P(RefusingServer, EndsTheConnectionWithAClearMessage) {
    ScriptedSftpServer server(GetParam().behaviour);
    SftpClientFixture fixture(server.port());
    fixture.client.Password = "geheim";
    try {
        fixture.client.Connect();
        FAIL() << "connected";
    } catch (const sftp::ESftpError& failure) {
        EXPECT_NE(std::string(failure.what()).find(GetParam().says), std::string::npos) << failure.what();
    }
    EXPECT_FALSE(fixture.client.Connected());
}

INSTANTIATE_TEST_SUITE_P(Refusals, RefusingServer,
                         ::testing::Values(Refusal{Behaviour::RefusePassword, "abgelehnt"},
                                           Refusal{Behaviour::NoSftp, "bietet kein SFTP an"}));

// A server that stops answering in the middle of a transfer ends it within
// the bound, in both directions, and the connection is given up.
TEST(StallingServer, EndsATransferWithinTheBound) {
    const std::string bytes(200000, 'q');
    for (const Behaviour behaviour : {Behaviour::StallRead, Behaviour::StallWrite}) {
        ScriptedSftpServer server(behaviour);
        server.root().write("big.html", bytes);
        SftpClientFixture fixture(server.port());
        fixture.client.Password = "geheim";
        fixture.client.ReadTimeout = 1000;
        fixture.client.Connect();
        TempFolder local;
        writeFile(local.file("big.html"), bytes);

        const auto start = std::chrono::steady_clock::now();
        if (behaviour == Behaviour::StallRead)
            EXPECT_THROW(fixture.client.Download("big.html", local.file("copy.html")), sftp::ESftpTimeout);
        else
            EXPECT_THROW(fixture.client.Upload(local.file("big.html"), "new.html", 0644), sftp::ESftpTimeout);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(8));
        EXPECT_FALSE(fixture.client.Connected());
        fixture.client.Disconnect();
    }
}

// A listing whose names lead out of the folder, or are no names at all, is
// reported; only the harmless name is downloaded, and nothing is written
// outside the work folder.
class HostileListing : public InTempWorkingFolder {};

TEST_F(HostileListing, IsReportedAndOnlyTheHarmlessNameIsTaken) {
    ScriptedSftpServer server(Behaviour::HostileNames);
    server.root().write("ok.html", "kein Link");
    TempFolder home;
    const EnvironmentScope environment{{"HOME", home.path()}, {"SSH_AUTH_SOCK", std::nullopt}};
    ftp::RemoteRunFields fields{
        "sftp://127.0.0.1:" + std::to_string(server.port()), "anna", "geheim", "", false, false};
    EncodingRuns runs;
    StringList fileBox;
    std::vector<std::string> messages;
    ftp::RemoteRunView view{[&](const RunOutcome& m) { messages.push_back(m.text); }, [] {}};
    view.askQuestion = [](const std::string&) { return true; };

    ftp::FTP_Go(*remote::serverConnection(), fields, {"*.html"}, runs, fileBox, view);

    EXPECT_EQ(fileBox, StringList{"ok.html"});
    ASSERT_FALSE(messages.empty());
    for (const char* hostile : {"\"../escape.html\"", "\"sub/inner.html\"", "\"..\\back.html\""})
        EXPECT_NE(messages[0].find(hostile), std::string::npos) << hostile << " in " << messages[0];
    EXPECT_FALSE(std::filesystem::exists(work().file("escape.html")));
    EXPECT_FALSE(std::filesystem::exists(work().file("back.html")));
}

}  // namespace
}  // namespace quill::test
