#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <optional>

#include "cli_test_support.hpp"
#include "runs/local_run.hpp"
#include "support/environment_scope.hpp"
#include "support/pyftpdlib_server.hpp"
#include "support/scripted_sftp_server.hpp"
#include "support/temp_folder.hpp"
#include "support/test_certificate.hpp"

namespace quill::cli::test {
namespace {

struct Case {
    const char* name;
    bool active;
    bool dryRun;
    bool passwordInVariable;
};

class CliRemote : public quill::test::InTempWorkingFolder, public ::testing::WithParamInterface<Case> {};

// A password file as the user keeps one: readable by its owner only.
std::string passwordFile(const quill::test::TempFolder& folder, const std::string& password, mode_t mode = 0600,
                         const std::string& name = "passwort") {
    const std::string path = folder.write(name, password);
    ::chmod(path.c_str(), mode);
    return path;
}

TEST_P(CliRemote, EncodesTheServerFolderLikeALocalRun) {
    const Case& param = GetParam();
    const quill::test::PyftpdlibServer server;
    const std::string page = "<a href=\"mailto:a@b.de\">Mail</a>\r\n<p>MAILTO:a@b.de</p>\r\n";
    const std::string plain = "<p>Nur Text</p>\r\n";
    server.root().write("web/index.html", page);
    server.root().write("web/ohne.htm", plain);
    server.root().write("web/notiz.txt", page);

    // What a local run makes of the same two pages.
    const quill::test::TempFolder local;
    runLocalEncoding(LocalRunParameters::over({local.write("index.html", page), local.write("ohne.htm", plain)}));

    std::vector<std::string> args = {"remote", "--host",      "127.0.0.1", "--port", std::to_string(server.port()),
                                     "--user", server.user(), "--folder",  "/web"};
    const quill::test::TempFolder secrets;
    const quill::test::EnvironmentScope variable{
        {"QUILL_TEST_FTP_PASSWORT", param.passwordInVariable ? std::optional(server.password()) : std::nullopt}};
    if (param.passwordInVariable) {
        args.insert(args.end(), {"--password-env", "QUILL_TEST_FTP_PASSWORT"});
    } else {
        args.insert(args.end(), {"--password-file", passwordFile(secrets, server.password() + "\n")});
    }
    if (param.active) args.push_back("--active");
    if (param.dryRun) args.push_back("--dry-run");

    const Outcome outcome = runInProcess(args);

    EXPECT_EQ(outcome.code, param.dryRun ? 1 : 0) << outcome.err;
    EXPECT_EQ(outcome.err, "");
    EXPECT_EQ(server.root().read("web/index.html"), param.dryRun ? page : local.read("index.html"));
    EXPECT_EQ(server.root().read("web/ohne.htm"), param.dryRun ? plain : local.read("ohne.htm"));
    EXPECT_EQ(server.root().read("web/notiz.txt"), page);
    // The link's found text and both "mailto:".
    EXPECT_NE(outcome.out.find("geändert: index.html (3 Stellen)\n"), std::string::npos) << outcome.out;
    EXPECT_EQ(outcome.out.find("ohne.htm"), std::string::npos) << outcome.out;
    EXPECT_EQ(outcome.out.find("@@ -1,2 +1,2 @@") != std::string::npos, param.dryRun) << outcome.out;
    // Neither the password nor the copies end up where the program was called:
    // only the backup of the pages the run changed on the server.
    std::vector<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(work().path()))
        left.push_back(entry.path().filename().string());
    EXPECT_EQ(left, param.dryRun ? std::vector<std::string>{} : std::vector<std::string>{"Sicherungen"});
    if (!param.dryRun) {
        const auto kept = treeBytes(work().file("Sicherungen"));
        ASSERT_EQ(kept.size(), 3u);  // the changed page, the log and the index
        for (const auto& [name, bytes] : kept) {
            if (name.find("/index.html") != std::string::npos) {
                EXPECT_EQ(bytes, page) << name;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Modes, CliRemote,
                         ::testing::Values(Case{"Passive", false, false, true}, Case{"Active", true, false, false},
                                           Case{"PassiveTrial", false, true, false},
                                           Case{"ActiveTrial", true, true, true}),
                         [](const auto& info) { return std::string(info.param.name); });

using CliRemoteTree = quill::test::InTempWorkingFolder;

// With --recursive the folders below are visited too; the report names each
// page by its path on the server.
TEST_F(CliRemoteTree, EncodesTheSubfoldersAndNamesPagesByTheirServerPaths) {
    const quill::test::PyftpdlibServer server;
    const std::string page = "<a href=\"mailto:a@b.de\">Mail</a>\r\n";
    server.root().write("web/index.html", page);
    server.root().write("web/team/2026/anna.html", page);
    server.root().write("web/team/ohne.html", "Nur Text\r\n");
    const quill::test::TempFolder secrets;
    const Outcome outcome = runInProcess({"remote", "--recursive", "--json", "--host", "127.0.0.1", "--port",
                                          std::to_string(server.port()), "--user", server.user(), "--password-file",
                                          passwordFile(secrets, server.password() + "\n"), "--folder", "/web"});

    EXPECT_EQ(outcome.code, 0) << outcome.err;
    EXPECT_EQ(server.root().read("web/team/2026/anna.html"), server.root().read("web/index.html"));
    EXPECT_NE(server.root().read("web/team/2026/anna.html"), page);
    for (const char* path : {"\"/web/index.html\"", "\"/web/team/2026/anna.html\"", "\"/web/team/ohne.html\""})
        EXPECT_NE(outcome.out.find(path), std::string::npos) << path << "\n" << outcome.out;
    EXPECT_NE(outcome.out.find("3 Ordner durchsucht."), std::string::npos) << outcome.out;
    // Only the backup stays where the program was called, mirroring the server's paths.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(work().path()), {}), 1);
    const auto kept = treeBytes(work().file("Sicherungen"));
    const auto anna = std::find_if(kept.begin(), kept.end(), [](const auto& entry) {
        return entry.first.ends_with("/127.0.0.1/web/team/2026/anna.html");
    });
    ASSERT_NE(anna, kept.end());
    EXPECT_EQ(anna->second, page);
}

class CliRemoteTls : public quill::test::InTempWorkingFolder {};

// Nobody answers in a build: a certificate no authority vouches for is refused
// with its fingerprint and nothing is sent in clear or changed; given that
// fingerprint, the same run goes through encrypted.
TEST_F(CliRemoteTls, RefusesAnUnknownCertificateUnlessItsFingerprintIsGiven) {
    const quill::test::TestCertificate certificate;
    const quill::test::TempFolder secrets;
    const std::string pem = secrets.path() + "/server.pem";
    certificate.writePemFile(pem);
    const quill::test::PyftpdlibServer server("quill", "geheim", quill::test::PyftpdlibServer::Masks::Globbed, 0, pem);
    const std::string page = "<a href=\"mailto:a@b.de\">Mail</a>\r\n";
    server.root().write("index.html", page);
    const std::vector<std::string> args = {"remote",          "--tls",
                                           "--host",          "127.0.0.1",
                                           "--port",          std::to_string(server.port()),
                                           "--user",          server.user(),
                                           "--password-file", passwordFile(secrets, server.password())};

    const Outcome refused = runInProcess(args);
    EXPECT_EQ(refused.code, 3) << refused.err;
    EXPECT_NE(refused.err.find(certificate.fingerprint().substr(0, 2) + ":" + certificate.fingerprint().substr(2, 2)),
              std::string::npos)
        << refused.err;
    EXPECT_NE(refused.err.find("--fingerprint"), std::string::npos) << refused.err;
    EXPECT_EQ(server.root().read("index.html"), page);

    // In pairs with colons and in lower case, as other tools print it.
    std::string colons;
    for (std::size_t i = 0; i < certificate.fingerprint().size(); i += 2)
        colons += (i == 0 ? "" : ":") + certificate.fingerprint().substr(i, 2);
    std::transform(colons.begin(), colons.end(), colons.begin(), [](unsigned char c) { return std::tolower(c); });
    std::vector<std::string> pinned = args;
    pinned.insert(pinned.end(), {"--fingerprint", colons, "--no-backup"});
    const Outcome accepted = runInProcess(pinned);
    EXPECT_EQ(accepted.code, 0) << accepted.err;
    EXPECT_EQ(server.root().read("index.html").find("mailto:"), std::string::npos);
    EXPECT_TRUE(std::filesystem::is_empty(work().path()));
}

// Nobody answers a question in a build: an SSH host key that is not known is
// refused with its fingerprint, and that fingerprint given back lets the run
// through. Over SFTP, --port goes with the host.
TEST_F(CliRemoteTls, RefusesAnUnknownHostKeyUnlessItsFingerprintIsGiven) {
    const quill::test::ScriptedSftpServer server(quill::test::ScriptedSftpServer::Behaviour::Normal);
    const std::string page = "<a href=\"mailto:a@b.de\">Mail</a>\r\n";
    server.root().write("index.html", page);
    const quill::test::TempFolder home;
    const quill::test::EnvironmentScope environment{
        {"HOME", home.path()}, {"SSH_AUTH_SOCK", std::nullopt}, {"QUILL_TEST_SFTP_PASSWORT", "geheim"}};
    const std::vector<std::string> args = {"remote",         "--sftp",
                                           "--host",         "127.0.0.1",
                                           "--port",         std::to_string(server.port()),
                                           "--user",         "anna",
                                           "--password-env", "QUILL_TEST_SFTP_PASSWORT"};

    const Outcome refused = runInProcess(args);
    EXPECT_EQ(refused.code, 3) << refused.err;
    EXPECT_NE(refused.err.find("Diesem Serverschlüssel trotzdem vertrauen?"), std::string::npos) << refused.err;
    EXPECT_EQ(server.root().read("index.html"), page);
    const auto at = refused.err.find("SHA256:");
    ASSERT_NE(at, std::string::npos) << refused.err;
    const std::string fingerprint = refused.err.substr(at, refused.err.find_first_of(" \r\n", at) - at);

    std::vector<std::string> pinned = args;
    pinned.insert(pinned.end(), {"--fingerprint", fingerprint});
    const Outcome accepted = runInProcess(pinned);
    EXPECT_EQ(accepted.code, 0) << accepted.err;
    EXPECT_EQ(server.root().read("index.html").find("mailto:"), std::string::npos);
    // Trusted for that run only: nothing went into the user's files.
    EXPECT_FALSE(std::filesystem::exists(home.file(".ssh/known_hosts")));
}

class CliRemoteUsage : public quill::test::InTempWorkingFolder {};

// Wrong use ends before anything is sent, with exit 2 and a message that
// says what is wrong; nothing listens on the port, so a run that went on
// would end with another code.
TEST_F(CliRemoteUsage, PasswordFilesAndFingerprintsAreCheckedFirst) {
    const quill::test::TempFolder secrets;
    const std::string ownerOnly = passwordFile(secrets, "geheim");
    struct UsageCase {
        const char* name;
        std::vector<std::string> options;
        std::string message;
    };
    const std::string hex64(64, 'a');
    const UsageCase cases[] = {
        {"missing password file",
         {"--password-file", secrets.file("fehlt")},
         "Die Passwortdatei " + secrets.file("fehlt") + " ist nicht lesbar"},
        {"group-readable password file",
         {"--password-file", passwordFile(secrets, "geheim", 0640, "gruppe")},
         "auch für Gruppe oder andere lesbar"},
        {"other-readable password file",
         {"--password-file", passwordFile(secrets, "geheim", 0604, "andere")},
         "auch für Gruppe oder andere lesbar"},
        {"short fingerprint",
         {"--password-file", ownerOnly, "--tls", "--fingerprint", "AB:CD"},
         "64 Hexadezimalziffern"},
        {"one digit too many",
         {"--password-file", ownerOnly, "--tls", "--fingerprint", hex64 + "a"},
         "64 Hexadezimalziffern"},
        {"not hex",
         {"--password-file", ownerOnly, "--tls", "--fingerprint", std::string(63, 'a') + "g"},
         "64 Hexadezimalziffern"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> args = {"remote", "--host", "127.0.0.1", "--port", "1", "--user", "anna"};
        args.insert(args.end(), c.options.begin(), c.options.end());
        const Outcome outcome = runInProcess(args);
        EXPECT_EQ(outcome.code, 2) << outcome.err;
        EXPECT_NE(outcome.err.find(c.message), std::string::npos) << outcome.err;
    }
}

}  // namespace
}  // namespace quill::cli::test
