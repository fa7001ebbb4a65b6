#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

#include "ftp/ftp_client.hpp"
#include "remote/remote_run.hpp"
#include "runs/encoding_runs.hpp"
#include "settings/ini_file.hpp"
#include "settings/settings_file.hpp"
#include "support/pyftpdlib_server.hpp"
#include "support/temp_folder.hpp"
#include "support/test_certificate.hpp"
#include "text/quill_error.hpp"

namespace quill::ftp {
namespace {

using test::PyftpdlibServer;

const std::string kIndex = "<a href=\"mailto:a@b.de\">Mail</a>\r\n<p>Schreiben Sie: MaIlTo:info</p>\r\n";
const std::string kIndexEncoded =
    "<a href=\"&#109&#97&#105&#108&#116&#111&#58&#97&#64&#98&#46&#100&#101\">&#77&#97&#105&#108</a>\r\n"
    "<p>Schreiben Sie: &#77&#97&#73&#108&#84&#111&#58info</p>\r\n";  // "MaIlTo:" keeps its letters
// A UTF-8 page: its characters are encoded by their code points.
const std::string kContact = "<A HREF=\"mailto:c@d.de\" class=\"x\">B\xc3\xbcro \xe2\x80\x93 Kontakt</A>\n";
const std::string kContactEncoded =
    "<A HREF=\"&#109&#97&#105&#108&#116&#111&#58&#99&#64&#100&#46&#100&#101\" class=\"x\">"
    "&#66&#252&#114&#111&#32&#8211&#32&#75&#111&#110&#116&#97&#107&#116</A>\n";
const std::string kPlain = "Nur Text, kein Link.\r\n";
const std::string kInner = "<a href=\"mailto:a@b.de\">Mail</a>";
const std::string kPicture("\x89PNG\r\n\x1a\n\0\x01", 10);

// Key and certificate for an encrypting server, or nothing for a plain one.
std::string certificateFile(const test::TempFolder& folder, const test::TestCertificate& certificate, bool tls) {
    if (!tls) return {};
    const std::string path = folder.file("server.pem");
    certificate.writePemFile(path);
    return path;
}

// A whole run against a real server, in each data connection mode, with a
// server that globs masks and with one that refuses them, and with one that
// requires TLS on every connection.
class RemoteRunRealServer : public test::InTempWorkingFolder,
                            public ::testing::WithParamInterface<std::tuple<bool, PyftpdlibServer::Masks, bool>> {
protected:
    RemoteRunRealServer()
        : server("quill", "geheim", std::get<1>(GetParam()), 0,
                 certificateFile(keys, certificate, std::get<2>(GetParam()))) {
        server.root().write("web/index.html", kIndex);
        server.root().write("web/kontakt.html", kContact);
        server.root().write("web/ohne.html", kPlain);
        server.root().write("web/bild.png", kPicture);
        server.root().write("web/sub/inner.html", kInner);
        client.Port = server.port();
        client.ReadTimeout = 10000;
        client.TransferTimeout = 10000;
        client.AcceptTimeout = 10000;
    }

    test::TempFolder keys;
    test::TestCertificate certificate;
    PyftpdlibServer server;
    TFTPClient client;
};

TEST_P(RemoteRunRealServer, EncodesTheFolderInPlaceAndLeavesEverythingElse) {
    const bool tls = std::get<2>(GetParam());
    RemoteRunFields fields{"127.0.0.1", "quill", "geheim", "\\web", std::get<0>(GetParam()), tls};
    EncodingRuns runs;
    StringList fileBox;
    std::vector<std::string> messages;
    std::vector<std::string> questions;
    RemoteRunView view{[&](const RunOutcome& m) { messages.push_back(m.text); }, [] {}};
    view.askQuestion = [&](const std::string& question) {
        questions.push_back(question);
        return true;
    };

    FTP_Go(client, fields, {"*.html", "k*"}, runs, fileBox, view);

    EXPECT_EQ(messages, std::vector<std::string>{"Die E-Mail-Adressen wurden erfolgreich kodiert!"});
    EXPECT_EQ(fileBox, (StringList{"index.html", "kontakt.html", "ohne.html"}));
    EXPECT_EQ(fields.folder, "/web");
    EXPECT_EQ(server.root().read("web/index.html"), kIndexEncoded);
    EXPECT_EQ(server.root().read("web/kontakt.html"), kContactEncoded);
    EXPECT_EQ(server.root().read("web/ohne.html"), kPlain);
    EXPECT_EQ(server.root().read("web/bild.png"), kPicture);
    EXPECT_EQ(server.root().read("web/sub/inner.html"), kInner);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(server.root().path() + "/web"), {}), 5);
    EXPECT_TRUE(std::filesystem::is_empty(remoteWorkFolder()));
    EXPECT_TRUE(runs.foundFiles.empty());
    EXPECT_TRUE(runs.foundAddresses.empty());
    EXPECT_FALSE(client.Connected());

    IniFile ini(settingsFilePath());
    EXPECT_EQ(ini.readString("FTP-Daten", "Verzeichnis", ""), "\\web");
    EXPECT_EQ(ini.readString("FTP-Daten", "Passiv", ""), std::get<0>(GetParam()) ? "Ja" : "Nein");
    EXPECT_EQ(ini.readString("FTP-Daten", "TLS", ""), tls ? "Ja" : "Nein");
    // The self-signed certificate was put to the user once and is kept.
    EXPECT_EQ(questions.size(), tls ? 1u : 0u);
    EXPECT_EQ(ini.readString("FTP-Zertifikate", "127.0.0.1", ""), tls ? certificate.fingerprint() : "");

    // Already encoded: a second run finds nothing and uploads nothing.
    messages.clear();
    FTP_Go(client, fields, {"*.html"}, runs, fileBox, view);
    EXPECT_EQ(messages, std::vector<std::string>{"Es wurden keine unkodierten E-Mail-Adressen gefunden!"});
    EXPECT_EQ(server.root().read("web/index.html"), kIndexEncoded);
    EXPECT_EQ(questions.size(), tls ? 1u : 0u);
}

std::string caseName(const ::testing::TestParamInfo<RemoteRunRealServer::ParamType>& info) {
    return std::string(std::get<0>(info.param) ? "Passive" : "Active") +
           (std::get<1>(info.param) == PyftpdlibServer::Masks::Globbed ? "Globbing" : "RefusingMasks") +
           (std::get<2>(info.param) ? "Encrypted" : "");
}

INSTANTIATE_TEST_SUITE_P(ModesAndServers, RemoteRunRealServer,
                         ::testing::Combine(::testing::Bool(),
                                            ::testing::Values(PyftpdlibServer::Masks::Globbed,
                                                              PyftpdlibServer::Masks::Refused),
                                            ::testing::Values(false)),
                         caseName);

INSTANTIATE_TEST_SUITE_P(Encrypted, RemoteRunRealServer,
                         ::testing::Combine(::testing::Bool(), ::testing::Values(PyftpdlibServer::Masks::Globbed),
                                            ::testing::Values(true)),
                         caseName);

// The server drops the connection when the second page is being uploaded:
// the first page is replaced, the others stay as they were, nothing
// temporary is left, and the copies not uploaded wait in the work folder.
class DropDuringUploads : public test::InTempWorkingFolder, public ::testing::WithParamInterface<bool> {};

TEST_P(DropDuringUploads, PagesAreOldOrNewAndTheMessageSaysWhich) {
    PyftpdlibServer server("quill", "geheim", PyftpdlibServer::Masks::Globbed, 2);
    for (const char* name : {"a.html", "b.html", "c.html"}) server.root().write(std::string("web/") + name, kIndex);
    TFTPClient client;
    client.Port = server.port();
    client.ReadTimeout = client.TransferTimeout = client.AcceptTimeout = 10000;
    RemoteRunFields fields{"127.0.0.1", "quill", "geheim", "/web", GetParam()};
    EncodingRuns runs;
    StringList fileBox;
    RemoteRunView view{[](const RunOutcome&) {}, [] {}};

    std::string message;
    try {
        FTP_Go(client, fields, {"*.html"}, runs, fileBox, view);
    } catch (const QuillError& failure) {
        message = failure.what();
    }
    // The reason depends on how far the client got when the connection went.
    const std::string start = "Die Datei \"b.html\" konnte nicht hochgeladen werden:\r\n";
    const std::string end =
        "\r\n\r\nHochgeladen: \"a.html\"\r\nNicht hochgeladen, auf dem Server unverändert: "
        "\"b.html\", \"c.html\"\r\nDie kodierten Kopien der nicht hochgeladenen Dateien liegen "
        "im Ordner \"" +
        remoteWorkFolder() + "\".";
    EXPECT_EQ(message.substr(0, start.size()), start) << message;
    EXPECT_TRUE(message.size() > end.size() && message.substr(message.size() - end.size()) == end) << message;
    EXPECT_EQ(server.root().read("web/a.html"), kIndexEncoded);
    EXPECT_EQ(server.root().read("web/b.html"), kIndex);
    EXPECT_EQ(server.root().read("web/c.html"), kIndex);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(server.root().path() + "/web"), {}), 3);
    EXPECT_FALSE(std::filesystem::exists(localCopyPath("a.html")));
    EXPECT_EQ(test::readFile(localCopyPath("b.html")), kIndexEncoded);
    EXPECT_EQ(test::readFile(localCopyPath("c.html")), kIndexEncoded);
}

INSTANTIATE_TEST_SUITE_P(Modes, DropDuringUploads, ::testing::Bool(),
                         [](const auto& info) { return std::string(info.param ? "Passive" : "Active"); });

}  // namespace
}  // namespace quill::ftp
