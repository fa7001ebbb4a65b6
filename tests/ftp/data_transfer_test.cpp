#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <functional>
#include <memory>

#include "files/fault_injection.hpp"
#include "files/file_io.hpp"
#include "net/socket_ops.hpp"
#include "scripted_session.hpp"
#include "support/hook_scopes.hpp"
#include "support/temp_folder.hpp"

namespace quill::ftp::test {
namespace {

using Commands = std::vector<std::string>;

// A logged-in client and its scripted server, in passive or active mode.
struct Session {
    explicit Session(bool passive) {
        client.Host = "127.0.0.1";
        client.Port = server.port();
        client.Username = "anna";
        client.Password = "geheim";
        client.Passive = passive;
        client.ReadTimeout = 5000;
        client.TransferTimeout = 5000;
        client.AcceptTimeout = 5000;
    }
    void connect() { client.Connect(); }
    Commands afterLogin() const {
        auto all = server.commands();
        const auto syst = std::find(all.begin(), all.end(), "SYST");
        return Commands(syst + 1, all.end());
    }
    // The data connection set-up line as the mode sends it.
    std::string setUp() const { return client.Passive ? "PASV" : "PORT"; }
    Commands withSetUp(const Commands& lines) const {
        Commands result;
        for (const auto& line : lines) {
            if (line == "<data>") {
                result.push_back(client.Passive ? "PASV" : portLine());
            } else {
                result.push_back(line);
            }
        }
        return result;
    }
    std::string portLine() const {
        for (const auto& line : server.commands()) {
            if (line.rfind("PORT ", 0) == 0) return line;
        }
        return "PORT missing";
    }

    ScriptedFtpServer server;
    TFTPClient client;
};

const char* modeName(bool passive) {
    return passive ? "passive" : "active";
}

struct ListCase {
    const char* name;
    std::string data;
    StringList names;
};

TEST(ScriptedTransfer, ListNamesSplitsLinesAndRestoresBinaryType) {
    const ListCase cases[] = {
        {"empty line inside", "a.html\r\n\r\nb.html\r\n", {"a.html", "", "b.html"}},
        {"no final line end", "a.html\nb.html", {"a.html", "b.html"}},
        {"lone CR and NUL", "a.html\rb.html\r\n\0rest", {"a.html", "b.html"}},
        {"nothing", "", {}},
        {"blanks kept", " x.html \r\nsub\r\n", {" x.html ", "sub"}},
    };
    for (bool passive : {true, false}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(modeName(passive)) + ": " + c.name);
            Session session(passive);
            session.server.once("NLST", transferOut(c.data));
            session.connect();
            StringList names{"old entry"};
            session.client.ListNames(names, "*.html");
            EXPECT_EQ(names, c.names);
            EXPECT_EQ(session.afterLogin(), session.withSetUp({"TYPE A", "<data>", "NLST *.html", "TYPE I"}));
            EXPECT_EQ(session.client.TransferType(), ftBinary);
        }
    }
}

TEST(ScriptedTransfer, RefusedListSwitchesBackBeforeTheErrorLeaves) {
    for (bool passive : {true, false}) {
        SCOPED_TRACE(modeName(passive));
        Session session(passive);
        session.server.once("NLST", {replyLine("550 No files found.")});
        session.connect();
        StringList names{"kept"};
        expectError<EReplyError>([&] { session.client.ListNames(names, "*.htm"); }, "No files found.\r\n");
        EXPECT_EQ(names, StringList{"kept"});
        EXPECT_EQ(session.afterLogin(), session.withSetUp({"TYPE A", "<data>", "NLST *.htm", "TYPE I"}));
        // Still logged in: the next list works.
        session.server.once("NLST", transferOut("x.htm\r\n"));
        session.client.ListNames(names, "");
        EXPECT_EQ(names, StringList{"x.htm"});
        EXPECT_EQ(session.server.commands().back(), "TYPE I");
    }
}

// Only 226 and 250 complete a transfer; anything else, 426 above all, ends
// it at once with the server's text, whether or not the data connection
// is still open and whatever follows.
TEST(ScriptedTransfer, FinalReplies) {
    struct FinalCase {
        const char* verb;
        Script answer;
        const char* error;
    };
    const Script open = {replyLine("150 Here it comes"), openData()};
    const auto after = [](Script first, const Script& rest) {
        first.insert(first.end(), rest.begin(), rest.end());
        return first;
    };
    const FinalCase cases[] = {
        {"RETR", after(open, {sendData("abc"), closeData(), replyLine("226 Done")}), nullptr},
        {"RETR", after(open, {sendData("abc"), closeData(), replyLine("250 Done")}), nullptr},
        {"RETR", after(open, {sendData("abc"), closeData(), replyLine("225 Data connection open")}),
         "Data connection open\r\n"},
        {"RETR", after(open, {sendData("abc"), closeData(), sendRaw("426 Aborted.\r\n226 Abort successful\r\n")}),
         "Aborted.\r\n"},
        {"RETR", after(open, {sendData("abc"), closeData(), replyLine("451 Local error")}), "Local error\r\n"},
        // The data connection stays open behind the 426: no waiting for it.
        {"RETR", after(open, {sendData("abc"), replyLine("426 Aborted."), pause(3000), closeData()}), "Aborted.\r\n"},
        {"RETR", {sendRaw("150 Go\r\n426 Aborted.\r\n"), openData(), pause(3000)}, "Aborted.\r\n"},
        {"STOR", after(open, {replyLine("426 Aborted."), pause(3000), closeData()}), "Aborted.\r\n"},
        {"STOR", after(open, {receiveData(), replyLine("226 Done")}), nullptr},
    };
    test::TempFolder local;
    const std::string upload = local.write("big.bin", std::string(16 << 20, 'u'));
    for (bool passive : {true, false}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(modeName(passive)) + " " + c.verb + " " + c.answer.back().bytes);
            Session session(passive);
            session.server.once(c.verb, c.answer);
            session.connect();
            const auto start = std::chrono::steady_clock::now();
            const auto transfer = [&] {
                if (std::string(c.verb) == "RETR")
                    session.client.Download("a.html", local.file("a.html"), true, false);
                else
                    session.client.Upload(upload, "a.html", false);
            };
            if (c.error == nullptr) {
                EXPECT_NO_THROW(transfer());
            } else {
                expectError<EReplyError>(transfer, c.error);
                EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(2500));
            }
            // Still logged in, and no reply left over for the next command (a
            // server still holding its data connection answers only later).
            const bool holding = std::any_of(c.answer.begin(), c.answer.end(), [](const ServerStep& step) {
                return step.kind == ServerStep::Kind::Pause;
            });
            if (holding) continue;
            session.server.once("NOOP", {replyLine("200 NOOP ok")});
            EXPECT_EQ(session.client.SendCommand("NOOP"), 200);
        }
    }
}

TEST(ScriptedTransfer, PassiveRepliesWithAndWithoutParenthesesGoToTheControlPeer) {
    struct PasvCase {
        const char* name;
        const char* announced;
        bool parentheses;
    };
    const PasvCase cases[] = {
        {"parentheses", "127.0.0.1", true},
        {"text after the last blank", "127.0.0.1", false},
        // Nothing listens there, so success shows the client went to the server it talks to.
        {"another loopback address", "127.0.0.2", true},
        {"another address without parentheses", "127.0.0.3", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Session session(true);
        session.server.setAnnouncedPassiveAddress(c.announced);
        test::TempFolder local;
        // Learn the listener's port from the default reply, then answer in the wanted form.
        session.connect();
        session.client.SendCommand("PASV", 227);
        std::string reply = session.client.LastReply().Text.front();
        if (!c.parentheses) {
            const auto open = reply.find('(');
            reply = "227 Entering Passive Mode " + reply.substr(open + 1, reply.find(')') - open - 1);
        } else {
            reply = "227 " + reply;
        }
        session.server.once("PASV", {replyLine(reply)});
        session.server.once("RETR", transferOut("payload"));
        session.client.Download("page.html", local.file("page.html"), true, false);
        EXPECT_EQ(local.read("page.html"), "payload");
        EXPECT_TRUE(session.server.problems().empty());
    }
}

TEST(ScriptedTransfer, PreliminaryReply110OnlyForStore) {
    test::TempFolder local;
    local.write("up.bin", "data");
    for (const char* verb : {"STOR", "RETR", "NLST"}) {
        SCOPED_TRACE(verb);
        Session session(true);
        const bool store = std::string(verb) == "STOR";
        session.server.once(verb, {replyLine("110 Restart marker MARK 0 = 0"), openData(),
                                   store ? receiveData() : sendData("x"), closeData(), replyLine("226 Done")});
        session.connect();
        if (store) {
            EXPECT_NO_THROW(session.client.Upload(local.file("up.bin"), "up.bin", false));
            EXPECT_EQ(session.server.uploads(), Commands{"data"});
        } else if (std::string(verb) == "RETR") {
            expectError<EReplyError>([&] { session.client.Download("x", local.file("x"), true, false); },
                                     "Restart marker MARK 0 = 0\r\n");
        } else {
            StringList names;
            expectError<EReplyError>([&] { session.client.ListNames(names, ""); }, "Restart marker MARK 0 = 0\r\n");
        }
    }
}

// The order of the client's sends and connects while the transfer runs.
std::vector<std::string> sendsAndConnects(const std::function<void()>& transfer) {
    std::vector<std::string> calls;
    const quill::test::SocketFaultScope record([&](SocketCall call, std::string_view detail) {
        if (call == SocketCall::Send) calls.push_back("send " + std::string(detail));
        if (call == SocketCall::Connect) calls.push_back("connect");
        return 0;
    });
    transfer();
    return calls;
}

TEST(ScriptedTransfer, PassiveStoreWritesTheCommandBeforeConnecting) {
    test::TempFolder local;
    local.write("up.bin", "bytes");
    Session session(true);
    session.connect();
    const auto calls = sendsAndConnects([&] { session.client.Upload(local.file("up.bin"), "", false); });
    // Where the server tells sizes, the upload's is checked afterwards.
    EXPECT_EQ(calls,
              (Commands{"send PASV\r\n", "send STOR up.bin\r\n", "connect", "send bytes", "send SIZE up.bin\r\n"}));
    EXPECT_EQ(session.afterLogin(), (Commands{"PASV", "STOR up.bin", "SIZE up.bin"}));
}

TEST(ScriptedTransfer, PassiveRetrieveConnectsBeforeTheCommand) {
    test::TempFolder local;
    Session session(true);
    session.connect();
    const auto calls = sendsAndConnects([&] { session.client.Download("f", local.file("f"), true, false); });
    EXPECT_EQ(calls, (Commands{"send SIZE f\r\n", "send PASV\r\n", "connect", "send RETR f\r\n"}));
}

TEST(ScriptedTransfer, ActiveModeAnnouncesTheListenerOnTheControlAddress) {
    test::TempFolder local;
    Session session(false);
    session.server.once("RETR", transferOut("active bytes"));
    session.connect();
    session.client.Download("a.bin", local.file("a.bin"), true, false);
    EXPECT_EQ(local.read("a.bin"), "active bytes");
    const std::string port = session.portLine();
    const auto target = session.server.lastPortTarget();
    const auto colon = target.find(':');
    const int number = std::stoi(target.substr(colon + 1));
    EXPECT_EQ(target.substr(0, colon), session.client.LocalAddress().host);
    EXPECT_EQ(port, "PORT 127,0,0,1," + std::to_string(number / 256) + "," + std::to_string(number % 256));
    EXPECT_NE(number, 0);

    // An external address replaces the listener's own in the announcement.
    session.client.ExternalIP = "127.0.0.9";
    session.client.AcceptTimeout = 300;
    session.server.once("RETR", {replyLine("150 Opening"), replyLine("226 Done")});
    expectError<EConnectTimeout>([&] { session.client.Download("b.bin", local.file("b.bin"), true, false); },
                                 "Connect timed out.");
    EXPECT_EQ(session.server.commands().at(session.server.commands().size() - 2).rfind("PORT 127,0,0,9,", 0), 0u);
}

TEST(ScriptedTransfer, PretIsSentWhenTheServerOffersIt) {
    test::TempFolder local;
    Session session(true);
    session.server.once("FEAT", {sendRaw("211-Features:\r\n PRET\r\n211 End\r\n")});
    session.connect();
    session.client.Download("f.html", local.file("f.html"), true, false);
    EXPECT_EQ(session.afterLogin(), (Commands{"PRET RETR f.html", "PASV", "RETR f.html"}));

    Session active(false);
    active.server.once("FEAT", {sendRaw("211-Features:\r\n PRET\r\n211 End\r\n")});
    active.connect();
    active.client.Download("f.html", local.file("g.html"), true, false);
    EXPECT_EQ(active.afterLogin().front().rfind("PORT ", 0), 0u);
}

TEST(ScriptedTransfer, DownloadReplacesTheLocalFileAndLeavesItEmptyWhenRefused) {
    test::TempFolder local;
    for (bool passive : {true, false}) {
        SCOPED_TRACE(modeName(passive));
        const std::string path = local.write("page.html", "old and longer contents");
        Session session(passive);
        session.server.once("RETR", transferOut("new"));
        session.server.once("RETR", {replyLine("550 page.html: Permission denied")});
        session.connect();
        session.client.Download("page.html", path, true, false);
        EXPECT_EQ(local.read("page.html"), "new");
        expectError<EReplyError>([&] { session.client.Download("page.html", path, true, false); },
                                 "page.html: Permission denied\r\n");
        EXPECT_TRUE(files::fileExists(path));
        EXPECT_EQ(local.read("page.html"), "");
        expectError<EFileAlreadyExists>([&] { session.client.Download("page.html", path, false, false); },
                                        "Destination file already exists.");
    }
}

TEST(ScriptedTransfer, DownloadResumesFromTheLocalLength) {
    test::TempFolder local;
    const std::string path = local.write("big.bin", "first half|");
    Session session(true);
    session.server.once("RETR", transferOut("second half"));
    session.connect();
    session.client.Download("big.bin", path, false, true);
    EXPECT_EQ(local.read("big.bin"), "first half|second half");
    EXPECT_EQ(session.afterLogin(), (Commands{"REST 1", "REST 0", "SIZE big.bin", "PASV", "REST 11", "RETR big.bin"}));
}

TEST(ScriptedTransfer, UploadNamesAndLocalFileErrors) {
    test::TempFolder local;
    const std::string path = local.write("seite.html", "<html>");
    Session session(true);
    session.connect();
    session.client.Upload(path, "", false);
    session.client.Upload(path, "other.html", false);
    EXPECT_EQ(session.server.uploads(), (Commands{"<html>", "<html>"}));
    const auto sent = session.afterLogin();
    EXPECT_EQ(sent,
              (Commands{"PASV", "STOR seite.html", "SIZE seite.html", "PASV", "STOR other.html", "SIZE other.html"}));

    expectError<EUploadFileNameEmpty>([&] { session.client.Upload(local.path() + "/", "", false); },
                                      "The destination filename can not be empty");
    const std::string missing = local.file("fehlt.html");
    expectError<files::FileOpenError>([&] { session.client.Upload(missing, "x", false); },
                                      files::openErrorText(missing, ENOENT));
    const std::string unreachable = local.file("no/such/folder/f.html");
    expectError<files::FileCreateError>([&] { session.client.Download("f.html", unreachable, true, false); },
                                        files::createErrorText(unreachable, ENOENT));
    // Nothing was sent for the refused calls.
    EXPECT_EQ(session.afterLogin(), sent);
}

TEST(ScriptedTransfer, BytesMoveUnchangedInPiecesBothWays) {
    std::string bytes;
    for (int i = 0; i < 300000; ++i) bytes += static_cast<char>((i * 7 + i / 256) & 0xFF);
    test::TempFolder local;
    const std::string source = local.write("source.bin", bytes);
    for (bool passive : {true, false}) {
        SCOPED_TRACE(modeName(passive));
        Session session(passive);
        session.server.once("RETR", transferOut(bytes));
        session.connect();
        std::size_t largestSend = 0;
        {
            const quill::test::SocketFaultScope measure([&](SocketCall call, std::string_view detail) {
                if (call == SocketCall::Send) largestSend = std::max(largestSend, detail.size());
                return 0;
            });
            session.client.Download("source.bin", local.file("copy.bin"), true, false);
            session.client.Upload(source, "up.bin", false);
        }
        EXPECT_TRUE(local.read("copy.bin") == bytes);
        ASSERT_EQ(session.server.uploads().size(), 1u);
        EXPECT_TRUE(session.server.uploads().front() == bytes);
        EXPECT_LE(largestSend, 32768u);
    }
}

TEST(ScriptedTransfer, BrokenTransfersGiveClearErrorsAndNoHang) {
    struct BreakCase {
        const char* name;
        const char* verb;
        Script answer;
        std::string message;
    };
    const std::string big(4 << 20, 'u');
    const BreakCase cases[] = {
        {"data reset while receiving",
         "RETR",
         {replyLine("150 Go"), openData(), sendData("part"), pause(50), resetData()},
         "Socket Error # 10054\r\nConnection reset by peer."},
        {"control closed during transfer",
         "RETR",
         {replyLine("150 Go"), openData(), sendData("all"), closeData(), closeControl()},
         "Connection Closed Gracefully."},
        {"data silent",
         "RETR",
         {replyLine("150 Go"), openData(), pause(600), closeData(), replyLine("226 x")},
         "Read Timeout"},
        {"no final reply", "RETR", {replyLine("150 Go"), openData(), closeData()}, "Read Timeout"},
        {"data reset while sending",
         "STOR",
         {replyLine("150 Go"), openData(), pause(50), resetData()},
         "Socket Error # 10054\r\nConnection reset by peer."},
        {"no data connection while sending",
         "STOR",
         {replyLine("150 Go"), replyLine("226 Done")},
         "Connect timed out."},
    };
    test::TempFolder local;
    const std::string upload = local.write("big.bin", big);
    for (const auto& c : cases) {
        for (bool passive : {true, false}) {
            // Passive: the client connects, so a data connection always exists.
            if (std::string(c.name) == "no data connection while sending" && passive) continue;
            SCOPED_TRACE(std::string(modeName(passive)) + ": " + c.name);
            Session session(passive);
            session.client.TransferTimeout = 300;
            session.client.ReadTimeout = 300;
            session.client.AcceptTimeout = 300;
            session.server.once(c.verb, c.answer);
            session.connect();
            const auto start = std::chrono::steady_clock::now();
            if (std::string(c.verb) == "RETR") {
                expectError<EFTPError>([&] { session.client.Download("f", local.file("f"), true, false); }, c.message);
            } else {
                expectError<EFTPError>([&] { session.client.Upload(upload, "f", false); }, c.message);
            }
            EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
        }
    }
}

TEST(ScriptedTransfer, AServerThatStopsReadingEndsTheUploadAfterTheTimeout) {
    test::TempFolder local;
    // Larger than what the socket buffers of both sides can take in.
    const std::string path = local.write("big.bin", std::string(48 << 20, 's'));
    Session session(true);
    session.client.TransferTimeout = 300;
    // The reset comes long after the timeout; a reset error would show the wait was not bounded.
    session.server.once("STOR", {replyLine("150 Go"), openData(), pause(1500), resetData()});
    session.connect();
    expectError<ESocketError>([&] { session.client.Upload(path, "big.bin", false); },
                              "Socket Error # 10060\r\nConnection timed out.");
}

TEST(ScriptedTransfer, NotASocketWhileSendingIsIgnoredOnlyInPassiveMode) {
    test::TempFolder local;
    const std::string path = local.write("page.html", std::string(100000, 'p'));
    for (bool passive : {true, false}) {
        SCOPED_TRACE(modeName(passive));
        Session session(passive);
        session.connect();
        const quill::test::SocketFaultScope fault([](SocketCall call, std::string_view detail) {
            const bool dataSend = call == SocketCall::Send && detail.substr(0, 1) == "p";
            return dataSend ? ENOTSOCK : 0;
        });
        if (passive) {
            // The transfer goes on, but the size the server then tells shows the loss.
            expectError<EUploadIncomplete>([&] { session.client.Upload(path, "page.html", false); },
                                           "Die Datei \"page.html\" wurde nicht richtig übertragen: 100000 Bytes "
                                           "gesendet, 0 Bytes auf dem Server angekommen.");
            EXPECT_EQ(session.server.uploads(), Commands{""});
        } else {
            expectError<ENotASocket>([&] { session.client.Upload(path, "page.html", false); },
                                     "Socket Error # 10038\r\nSocket operation on non-socket.");
        }
    }
}

TEST(ScriptedTransfer, AFileThatShrinksWhileUploadingEndsTheTransfer) {
    test::TempFolder local;
    const std::string path = local.write("shrinks.bin", std::string(100000, 'z'));
    for (bool passive : {true, false}) {
        SCOPED_TRACE(modeName(passive));
        local.write("shrinks.bin", std::string(100000, 'z'));
        Session session(passive);
        session.server.once("STOR", transferIn());
        session.connect();
        // Cut the file once its size has been taken, as another program might.
        {
            const quill::test::SocketFaultScope shrink([&](SocketCall call, std::string_view detail) {
                if (call == SocketCall::Send && detail.rfind("STOR ", 0) == 0) ::truncate(path.c_str(), 10);
                return 0;
            });
            expectError<ENoDataToRead>([&] { session.client.Upload(path, "shrinks.bin", false); }, "No data to read.");
        }
        // The data connection was closed; the server's final reply waits for the next read.
        EXPECT_EQ(session.client.ReadReply({226}), 226);
        EXPECT_EQ(session.server.uploads(), Commands{std::string(10, 'z')});
    }
}

TEST(ScriptedTransfer, LocalWriteAndShortFileFailures) {
    test::TempFolder local;
    Session session(true);
    session.server.always("RETR", transferOut("contents"));
    session.connect();
    {
        const quill::test::FileFaultScope fault(
            [](files::FileStep step, const std::string&) { return step == files::FileStep::Write ? EIO : 0; });
        expectError<files::StreamError>([&] { session.client.Download("f", local.file("f"), true, false); },
                                        "Stream-Schreibfehler");
    }
    // The broken transfer's final reply is the answer to the next command.
    EXPECT_EQ(session.client.ReadReply({226}), 226);
    session.client.Download("f", local.file("f"), true, false);
    EXPECT_EQ(local.read("f"), "contents");
}

}  // namespace
}  // namespace quill::ftp::test
