#include <gtest/gtest.h>

#include <chrono>

#include "net/tls_errors.hpp"
#include "scripted_session.hpp"
#include "support/temp_folder.hpp"
#include "support/test_certificate.hpp"

namespace quill::ftp::test {
namespace {

using Commands = std::vector<std::string>;

bool anySentInClear(const Commands& commands) {
    for (const auto& line : commands) {
        if (line.rfind("USER", 0) == 0 || line.rfind("PASS", 0) == 0) return true;
    }
    return false;
}

struct RefusalCase {
    const char* name;
    Script answer;
    std::string message;  // a message ending in "..." is compared up to there
};

// However TLS fails to start, the run ends before the user name leaves.
TEST_F(ScriptedSession, NoLoginWithoutTls) {
    const RefusalCase cases[] = {
        {"refused",
         {replyLine("502 Kein TLS hier")},
         "Der Server bietet keine verschlüsselte Verbindung an: Kein TLS hier"},
        {"refused in two lines",
         {sendRaw("534-Nicht erlaubt\r\n534 Richtlinie\r\n")},
         "Der Server bietet keine verschlüsselte Verbindung an: Nicht erlaubt\r\nRichtlinie"},
        {"garbage instead of a handshake",
         {replyLine("234 Los"), pause(100), sendRaw(std::string(200, '\x17') + "HTTP/1.0 400 Bad Request\r\n\r\n")},
         "Die verschlüsselte Verbindung konnte nicht aufgebaut werden: ..."},
        {"clear text behind the 234",
         {sendRaw("234 Los\r\n230 Schon angemeldet\r\n")},
         "Die verschlüsselte Verbindung konnte nicht aufgebaut werden: Der Server hat nach AUTH TLS unverschlüsselte "
         "Daten gesendet."},
        {"closed instead of a handshake",
         {replyLine("234 Los"), closeControl()},
         "Die verschlüsselte Verbindung konnte nicht aufgebaut werden: ..."},
        {"silence instead of a handshake", {replyLine("234 Los"), pause(1500)}, "Read Timeout"},
    };
    client.UseTLS = true;
    client.ReadTimeout = 600;
    int ended = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        server.once("AUTH", c.answer);
        const auto started = std::chrono::steady_clock::now();
        try {
            client.Connect();
            ADD_FAILURE() << "connected";
        } catch (const EFTPError& e) {
            const std::string text = e.what();
            if (c.message.size() > 3 && c.message.compare(c.message.size() - 3, 3, "...") == 0)
                EXPECT_EQ(text.substr(0, c.message.size() - 3), c.message.substr(0, c.message.size() - 3)) << text;
            else
                EXPECT_EQ(text, c.message);
        }
        EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(3000));
        EXPECT_FALSE(client.Connected());
        EXPECT_TRUE(server.waitForConnectionsEnded(++ended));
        EXPECT_EQ(server.commands().front(), "AUTH TLS");
        EXPECT_FALSE(anySentInClear(server.commands()));
    }
}

class EncryptedSession : public ScriptedSession {
protected:
    EncryptedSession() {
        server.setCertificate(certificate);
        server.always("AUTH", {replyLine("234 Los"), startTls()});
        client.UseTLS = true;
        client.Passive = true;
        client.TrustCertificate = [this](const std::string& host, const PeerCertificate& offered) {
            questions.push_back({host, offered});
            return trust;
        };
    }

    struct Question {
        std::string host;
        PeerCertificate certificate;
    };

    quill::test::TestCertificate certificate;
    bool trust = true;
    std::vector<Question> questions;
};

TEST_F(EncryptedSession, AnUntrustedCertificateEndsTheConnectionBeforeTheLogin) {
    trust = false;
    expectError<ECertificateRejected>([&] { client.Connect(); }, ECertificateRejected().what());
    ASSERT_EQ(questions.size(), 1u);
    EXPECT_EQ(questions[0].host, "127.0.0.1");
    EXPECT_EQ(questions[0].certificate.fingerprint, certificate.fingerprint());
    EXPECT_NE(questions[0].certificate.problem.find("selbst signiert"), std::string::npos)
        << questions[0].certificate.problem;
    EXPECT_TRUE(server.waitForConnectionsEnded(1));
    EXPECT_EQ(server.commands(), Commands{"AUTH TLS"});
    EXPECT_TRUE(server.problems().empty());
}

TEST_F(EncryptedSession, LogsInThenProtectsTheDataAndResumesTheSessionOnEachConnection) {
    server.once("RETR", {replyLine("150 Los"), openData(), secureData(), sendData("geheime Seite"), closeData(),
                         replyLine("226 Fertig")});
    server.once("STOR",
                {replyLine("150 Los"), openData(), secureData(), receiveData(), closeData(), replyLine("226 Fertig")});
    client.Connect();
    const quill::test::TempFolder folder;
    client.Download("a.html", folder.file("a.html"), true, false);
    client.Upload(folder.write("b.html", std::string(100000, 'b')), "b.html", false);
    client.Disconnect();

    const Commands all = server.commands();
    const Commands start(all.begin(), all.begin() + 5);
    EXPECT_EQ(start, (Commands{"AUTH TLS", "USER anna", "PASS geheim", "PBSZ 0", "PROT P"}));
    EXPECT_EQ(folder.read("a.html"), "geheime Seite");
    EXPECT_EQ(server.uploads(), Commands{std::string(100000, 'b')});
    EXPECT_EQ(server.dataSessionsResumed(), (std::vector<bool>{true, true}));
    EXPECT_EQ(questions.size(), 1u);
    EXPECT_TRUE(server.problems().empty());
}

struct EndCase {
    const char* name;
    bool closeAlert;
    std::string opening;
    Script finalReplies;
    const char* error;  // the start of the message, or nullptr
};

// Without a close alert a cut-off download looks complete: only a 226 or 250
// and, where the server announced it, the byte count vouch for it.
TEST_F(EncryptedSession, ADownloadCountsOnlyWithAConfirmingReplyAndTheAnnouncedSize) {
    const EndCase cases[] = {
        {"close alert, 226", true, "150 Los", {replyLine("226 Fertig")}, nullptr},
        {"no close alert, 250", false, "150 Los (6 bytes)", {replyLine("250 Fertig")}, nullptr},
        // Both replies in one write: a stale reply can only be dropped once
        // it has arrived, and a 226 sent apart could come after the next command.
        {"no close alert, 426 then 226",
         false,
         "150 Los",
         {sendRaw("426 Abgebrochen\r\n226 Fertig\r\n")},
         "Abgebrochen"},
        {"no close alert, cut short",
         false,
         "150 Los (60 bytes)",
         {replyLine("226 Fertig")},
         "Die Datei \"a.html\" wurde nicht richtig übertragen: 6 Bytes angekommen, 60"},
    };
    client.Connect();
    const quill::test::TempFolder folder;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Script answer = {replyLine(c.opening), openData(), secureData(), sendData("Inhalt"),
                         c.closeAlert ? closeData() : closeDataWithoutAlert()};
        answer.insert(answer.end(), c.finalReplies.begin(), c.finalReplies.end());
        server.once("RETR", answer);
        server.once("SIZE", {replyLine("550 Nicht hier")});
        try {
            client.Download("a.html", folder.file("a.html"), true, false);
            EXPECT_EQ(c.error, nullptr);
        } catch (const EFTPError& e) {
            ASSERT_NE(c.error, nullptr) << e.what();
            EXPECT_EQ(std::string(e.what()).rfind(c.error, 0), 0u) << e.what();
        }
        // The control connection goes on either way, with nothing left over.
        server.once("NOOP", {replyLine("200 Gut")});
        EXPECT_EQ(client.SendCommand("NOOP"), 200);
    }
    EXPECT_TRUE(server.problems().empty());
}

// A server that offers only an old version gets a refusal that names it,
// before anything of the login leaves.
TEST_F(EncryptedSession, OnlyTls12OrNewerIsSpoken) {
    const std::pair<const char*, const char*> versions[] = {{"VERS-TLS1.0", "TLS 1.0"}, {"VERS-TLS1.1", "TLS 1.1"}};
    int ended = 0;
    for (const auto& [priority, name] : versions) {
        SCOPED_TRACE(name);
        server.setTlsPriorities(std::string("NORMAL:-VERS-ALL:+") + priority);
        expectError<ETlsError>([&] { client.Connect(); },
                               std::string("Die verschlüsselte Verbindung konnte nicht aufgebaut werden: Der Server "
                                           "bietet nur ") +
                                   name + " an. Verlangt wird TLS 1.2 oder neuer.");
        EXPECT_TRUE(server.waitForConnectionsEnded(++ended));
        EXPECT_FALSE(anySentInClear(server.commands()));
    }
    server.setTlsPriorities("NORMAL:-VERS-ALL:+VERS-TLS1.2");
    EXPECT_NO_THROW(client.Connect());
}

// Every bound counts the bytes reaching the socket: a record that arrives a
// byte at a time ends at about the bound, however long the record is.
TEST_F(EncryptedSession, ARecordTrickledAByteAtATimeEndsWithinTwiceTheBound) {
    constexpr int kBoundMs = 500;
    struct TrickleCase {
        const char* name;
        const char* verb;
        Script answer;
    };
    const TrickleCase cases[] = {
        {"reply", "NOOP", {drip("200 " + std::string(400, 'x') + "\r\n", 10)}},
        {"data",
         "RETR",
         {replyLine("150 Los"), openData(), secureData(), dripData(std::string(400, 'd'), 10), closeData(),
          replyLine("226 Fertig")}},
    };
    const quill::test::TempFolder folder;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        client.ReadTimeout = 5000;
        client.TransferTimeout = 5000;
        client.Connect();
        client.ReadTimeout = kBoundMs;
        client.TransferTimeout = kBoundMs;
        server.once(c.verb, c.answer);
        server.once("SIZE", {replyLine("550 Nicht hier")});
        const auto start = std::chrono::steady_clock::now();
        expectError<EReadTimeout>(
            [&] {
                if (std::string(c.verb) == "NOOP")
                    client.SendCommand("NOOP");
                else
                    client.Download("a.html", folder.file("a.html"), true, false);
            },
            "Read Timeout");
        const auto took = std::chrono::steady_clock::now() - start;
        EXPECT_GE(took, std::chrono::milliseconds(kBoundMs - 50));
        EXPECT_LT(took, std::chrono::milliseconds(2 * kBoundMs));
        client.Disconnect();
    }
}

}  // namespace
}  // namespace quill::ftp::test
