#include <gtest/gtest.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>

#include "files/descriptor.hpp"
#include "net/socket_ops.hpp"
#include "scripted_session.hpp"
#include "support/hook_scopes.hpp"

namespace quill::ftp::test {
namespace {

using Commands = std::vector<std::string>;

struct GreetingCase {
    const char* name;
    std::string bytes;
    int code;  // 0: an error is expected
    StringList text;
    TReplyFormat format;
    const char* error;
};

std::string lineOf(std::size_t length, const char* end) {
    return "220 " + std::string(length - 4, 'g') + end;
}

TEST_F(ScriptedSession, GreetingsAreReadByTheReplyRules) {
    const GreetingCase cases[] = {
        {"blank lines first", "\r\n   \r\n\n220 Hello\r\n", 220, {"Hello"}, rfNormal, nullptr},
        {"multi-line", "220-Hello\r\n220-more\r\n220 Ready\r\n", 220, {"Hello", "more", "Ready"}, rfNormal, nullptr},
        {"indented line",
         "220-Hello\r\n  indented\r\n220 Ready\r\n",
         220,
         {"Hello", "indented", "Ready"},
         rfIndentMidLines,
         nullptr},
        {"LF only", "220-Hello\nplain\n220 Ready\n", 220, {"Hello", "plain", "Ready"}, rfNormal, nullptr},
        {"longest line, LF", lineOf(16384, "\n"), 220, {std::string(16380, 'g')}, rfNormal, nullptr},
        {"longest line, CR LF", lineOf(16383, "\r\n"), 220, {std::string(16379, 'g')}, rfNormal, nullptr},
        {"line too long", lineOf(16385, "\n"), 0, {}, rfNormal, "Max line length exceeded."},
        {"line too long, no end yet", lineOf(20000, ""), 0, {}, rfNormal, "Max line length exceeded."},
        {"code below 100", "099 x\r\n", 0, {}, rfNormal, "Reply Code is not valid: 099"},
        {"22 ok goes on", "22 ok\r\n220 fine\r\n", 0, {}, rfNormal, "Reply Code is not valid: 22 o"},
        {"120 refused", "120 Try again in 5 minutes\r\n", 0, {}, rfNormal, "Try again in 5 minutes\r\n"},
        {"closed mid-reply", "220-partial\r\n220 no end", 0, {}, rfNormal, "Connection Closed Gracefully."},
        {"endless reply",
         [] {
             std::string lines;
             while (lines.size() < (1u << 20) + 100) lines += "220-more of the same\r\n";
             return lines;
         }(),
         0,
         {},
         rfNormal,
         "Max line length exceeded."},
        {"endless blank lines",
         [] {
             std::string lines;
             while (lines.size() < (1u << 20) + 100) lines += std::string(100, ' ') + "\r\n";
             return lines + "220 late\r\n";
         }(),
         0,
         {},
         rfNormal,
         "Max line length exceeded."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedFtpServer own;
        own.setGreeting({sendRaw(c.bytes), closeControl()});
        TFTPClient fresh;
        fresh.Host = "127.0.0.1";
        fresh.Port = own.port();
        fresh.AutoLogin = false;
        fresh.ReadTimeout = 5000;
        if (c.code != 0) {
            ASSERT_NO_THROW(fresh.Connect());
            EXPECT_EQ(fresh.Greeting().NumericCode, c.code);
            EXPECT_EQ(fresh.Greeting().Text, c.text);
            EXPECT_EQ(fresh.Greeting().ReplyFormat, c.format);
        } else {
            expectError<EFTPError>([&] { fresh.Connect(); }, c.error);
            EXPECT_FALSE(fresh.Connected());
            EXPECT_TRUE(own.waitForConnectionsEnded(1));
        }
    }
}

TEST_F(ScriptedSession, RefusedGreetingCarriesItsCodeAndClosesTheClient) {
    server.setGreeting({replyLine("120 Try again in 5 minutes")});
    try {
        client.Connect();
        FAIL() << "120 accepted";
    } catch (const EReplyError& e) {
        EXPECT_EQ(e.code(), 120);
    }
    EXPECT_FALSE(client.Connected());
    EXPECT_TRUE(server.waitForConnectionsEnded(1));
    EXPECT_TRUE(server.commands().empty());
}

TEST_F(ScriptedSession, AnEndLineOfAnotherCodeEndsTheReplyAndTheRestIsTheNextOne) {
    server.setGreeting({sendRaw("220-Hello\r\n230 x\r\n331 next\r\n")});
    client.AutoLogin = false;
    client.Connect();
    EXPECT_EQ(client.Greeting().Text, (StringList{"Hello", "230 x"}));
    EXPECT_EQ(client.ReadReply(), 331);
    EXPECT_EQ(client.LastReply().Text, StringList{"next"});
}

struct LoginCase {
    const char* name;
    Script user;
    Script pass;
    Commands sent;
    const char* error;
};

TEST_F(ScriptedSession, LoginSequences) {
    const Commands afterLogin = {"FEAT", "TYPE I", "SYST"};
    auto with = [&](Commands login) {
        login.insert(login.end(), afterLogin.begin(), afterLogin.end());
        return login;
    };
    const LoginCase cases[] = {
        {"password",
         {replyLine("331 Password please")},
         {replyLine("230 Welcome")},
         with({"USER anna", "PASS geheim"}),
         nullptr},
        {"USER 230", {replyLine("230 No password needed")}, {}, with({"USER anna"}), nullptr},
        {"USER 232", {replyLine("232 Logged in by security data")}, {}, with({"USER anna"}), nullptr},
        {"PASS 202",
         {replyLine("331 Password please")},
         {replyLine("202 Superfluous")},
         {"USER anna", "PASS geheim"},
         "Superfluous\r\n"},
        {"PASS 530",
         {replyLine("331 Password please")},
         {replyLine("530 Login incorrect.")},
         {"USER anna", "PASS geheim"},
         "Login incorrect.\r\n"},
        {"USER 530", {sendRaw("530-No such user\r\n530 Bye\r\n")}, {}, {"USER anna"}, "No such user\r\nBye\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedFtpServer own;
        own.once("USER", c.user);
        if (!c.pass.empty()) own.once("PASS", c.pass);
        TFTPClient fresh;
        fresh.Host = "localhost";
        fresh.Port = own.port();
        fresh.Username = "anna";
        fresh.Password = "geheim";
        if (c.error == nullptr) {
            ASSERT_NO_THROW(fresh.Connect());
            EXPECT_TRUE(fresh.Connected());
            fresh.Disconnect();
        } else {
            expectError<EReplyError>([&] { fresh.Connect(); }, c.error);
            EXPECT_FALSE(fresh.Connected());
        }
        EXPECT_TRUE(own.waitForConnectionsEnded(1));
        EXPECT_EQ(own.commands(), c.sent);
    }
}

TEST_F(ScriptedSession, OneTimePasswordChallengeIsAnswered) {
    server.once("USER", {sendRaw("331-Response to otp-md5 99 TeSt required\r\n331 for skey.\r\n")});
    client.Password = "This is a test.";
    client.Connect();
    EXPECT_EQ(server.commands().at(1), "PASS BAIL TUFT BITS GANG CHEF THY");
}

TEST_F(ScriptedSession, RefusedFeatAndSystLeaveEmptyFeaturesAndUnknownSystem) {
    server.once("FEAT", {replyLine("500 FEAT not understood")});
    server.once("SYST", {replyLine("500 SYST not understood")});
    client.Connect();
    EXPECT_TRUE(client.Features().empty());
    EXPECT_EQ(client.SystemDescription(), "Unknown");
    EXPECT_FALSE(client.SupportsFeature("SIZE"));
    EXPECT_FALSE(client.ServerUtcOffsetKnown());
}

TEST_F(ScriptedSession, FeaturesSystemAndZone) {
    server.once("FEAT",
                {sendRaw("211-Extensions supported:\r\n PRET\r\n mdtm\r\n SITE PSWD;zone;CHMOD\r\n211 END\r\n")});
    server.once("SITE", {replyLine("210 UTC-120")});
    client.Connect();
    EXPECT_EQ(client.Features(), (StringList{"PRET", "mdtm", "SITE PSWD;zone;CHMOD"}));
    EXPECT_TRUE(client.SupportsFeature("PRET"));
    EXPECT_TRUE(client.SupportsFeature("MDTM"));
    EXPECT_FALSE(client.SupportsFeature("SIZE"));
    EXPECT_EQ(client.SystemDescription(), "UNIX Type: L8");
    EXPECT_EQ(commandsAfterLogin(), Commands{"SITE ZONE"});
    EXPECT_TRUE(client.ServerUtcOffsetKnown());
    EXPECT_EQ(client.ServerUtcOffset(), -120);
}

TEST_F(ScriptedSession, SiteZoneOnlyForServersThatOfferIt) {
    struct ZoneCase {
        const char* greeting;
        const char* feature;  // the one line between FEAT's first and last
        bool zone;
    };
    const ZoneCase cases[] = {
        {"220 Serv-U FTP Server v6.4 ready", "SIZE", true},
        {"220 BPFTP Server ready", "SIZE", true},
        {"220 TitanFTP server ready", "SIZE", true},
        {"220 serv-u lower case", "SIZE", false},
        {"220 Serv-Unknown", "SIZE", false},
        {"220 ready", "SITE ZONE", true},
        {"220 ready", "site PSWD;Zone;CHMOD", true},
        {"220 ready", "SITE PSWD; ZONE ;CHMOD", false},
        {"220 ready", "SITE PSWD;ZONES", false},
        {"220 ready", "SITES ZONE", false},
        {"220 ready", "MDTM ZONE", false},
    };
    for (const auto& [greeting, feature, zone] : cases) {
        SCOPED_TRACE(std::string(greeting) + " / " + feature);
        ScriptedFtpServer own;
        own.setGreeting({replyLine(greeting)});
        own.once("FEAT", {sendRaw(std::string("211-Features:\r\n ") + feature + "\r\n211 End\r\n")});
        own.once("SITE", {replyLine("210 UTC+60")});
        TFTPClient fresh;
        fresh.Host = "127.0.0.1";
        fresh.Port = own.port();
        fresh.Connect();
        const auto commands = own.commands();
        EXPECT_EQ(commands.back() == "SITE ZONE", zone);
        EXPECT_EQ(fresh.ServerUtcOffsetKnown(), zone);
        if (zone) {
            EXPECT_EQ(fresh.ServerUtcOffset(), 60);
        }
    }
}

TEST_F(ScriptedSession, ChangeFolderRefusedKeepsTheClientLoggedIn) {
    server.once("CWD", {replyLine("550 /nowhere: No such file or directory")});
    client.Connect();
    expectError<EReplyError>([&] { client.ChangeFolder("/nowhere"); }, "/nowhere: No such file or directory\r\n");
    EXPECT_TRUE(client.Connected());
    client.ChangeFolder("/htdocs/web");
    EXPECT_EQ(client.SendCommand("NOOP", {200, 500}), 500);
    EXPECT_EQ(commandsAfterLogin(), (Commands{"CWD /nowhere", "CWD /htdocs/web", "NOOP"}));
}

TEST_F(ScriptedSession, DisconnectSendsNothingAndLaterWritesFail) {
    expectError<ENotConnected>([&] { client.SendCommand("NOOP"); }, "Not connected.");
    expectError<ENotConnected>([&] { client.ReadReply(); }, "Not connected.");
    EXPECT_FALSE(client.Connected());
    client.Connect();
    const auto before = server.commands();
    client.Disconnect();
    client.Disconnect();
    EXPECT_TRUE(server.waitForConnectionsEnded(1));
    EXPECT_EQ(server.commands(), before);
    EXPECT_FALSE(client.Connected());
    expectError<EConnClosedGracefully>([&] { client.WriteLine("NOOP"); }, "Connection Closed Gracefully.");
    expectError<EConnClosedGracefully>([&] { client.ReadReply(); }, "Connection Closed Gracefully.");
}

TEST_F(ScriptedSession, ConnectWhileConnectedClosesAndTheNextConnectStartsAfresh) {
    client.Connect();
    expectError<EAlreadyConnected>([&] { client.Connect(); }, "Already connected.");
    EXPECT_FALSE(client.Connected());
    EXPECT_TRUE(server.waitForConnectionsEnded(1));
    client.Connect();
    EXPECT_TRUE(client.Connected());
}

TEST_F(ScriptedSession, BytesLeftUnreadByAFailedConnectDoNotBlockTheNextOne) {
    server.once("USER", {sendRaw("530 Not you\r\n220 left over\r\n")});
    expectError<EReplyError>([&] { client.Connect(); }, "Not you\r\n");
    EXPECT_FALSE(client.Connected());
    EXPECT_NO_THROW(client.Connect());
    EXPECT_TRUE(client.Connected());
}

TEST_F(ScriptedSession, UnreadRepliesKeepTheClientConnectedAfterThePeerCloses) {
    client.Connect();
    server.once("NOOP", {sendRaw("200 first\r\n200 second\r\n"), closeControl()});
    client.SendCommand("NOOP", 200);
    ASSERT_TRUE(server.waitForConnectionsEnded(1));
    EXPECT_TRUE(client.Connected());  // "200 second" is still unread
    EXPECT_EQ(client.ReadReply(), 200);
    EXPECT_EQ(client.LastReply().Text, StringList{"second"});
    EXPECT_FALSE(client.Connected());
    expectError<EConnClosedGracefully>([&] { client.SendCommand("NOOP"); }, "Connection Closed Gracefully.");
}

TEST_F(ScriptedSession, PeerClosingMidReplyAndSilenceGiveClearErrors) {
    client.Connect();
    server.once("NOOP", {sendRaw("200-partial\r\n"), closeControl()});
    expectError<EConnClosedGracefully>([&] { client.SendCommand("NOOP"); }, "Connection Closed Gracefully.");
    EXPECT_FALSE(client.Connected());

    client.Connect();
    server.once("NOOP", {});
    client.ReadTimeout = 200;
    const auto start = std::chrono::steady_clock::now();
    expectError<EReadTimeout>([&] { client.SendCommand("NOOP"); }, "Read Timeout");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
}

TEST_F(ScriptedSession, SetTransferTypeSendsOnlyChanges) {
    client.SetTransferType(ftASCII);  // not connected: only remembered
    EXPECT_EQ(client.TransferType(), ftASCII);
    client.Connect();
    client.SetTransferType(ftASCII);
    client.SetTransferType(ftBinary);
    client.SetTransferType(ftBinary);
    EXPECT_EQ(server.commands().at(3), "TYPE A");
    EXPECT_EQ(commandsAfterLogin(), Commands{"TYPE I"});
}

TEST_F(ScriptedSession, LongLinesCanBeSplitInsteadOfRefused) {
    server.setGreeting({sendRaw("220-" + std::string(30, 'x') + "\r\n220 end\r\n")});
    client.AutoLogin = false;
    client.MaxLineLength = 10;
    client.MaxLineAction = maSplit;
    client.Connect();
    EXPECT_EQ(client.Greeting().Text, (StringList{"xxxxxx", "xxxxxxxxxx", "xxxxxxxxxx", "xxxx", "end"}));
}

// ---- the socket layer under the client ----

using SocketFaults = ScriptedSession;

TEST_F(SocketFaults, FailingCallsGiveTheirSocketErrors) {
    struct FaultCase {
        SocketCall call;
        int fault;
        const char* message;
    };
    const FaultCase cases[] = {
        {SocketCall::Resolve, EAI_NONAME, "Socket Error # 11001\r\nHost not found."},
        {SocketCall::Create, EMFILE, "Socket Error # 10024\r\nToo many open files."},
        {SocketCall::Bind, EADDRINUSE, "Could not bind socket. Address and port are already in use."},
        {SocketCall::Connect, ENETUNREACH, "Socket Error # 10051\r\nNetwork is unreachable."},
        {SocketCall::Receive, ECONNRESET, "Socket Error # 10054\r\nConnection reset by peer."},
        {SocketCall::Send, ENOTSOCK, "Socket Error # 10038\r\nSocket operation on non-socket."},
    };
    client.Host = "ftp.example.test";  // only the injected look-up sees this name
    for (const auto& c : cases) {
        const quill::test::SocketFaultScope fault(
            [&](SocketCall call, std::string_view) { return call == c.call ? c.fault : 0; });
        if (c.call != SocketCall::Resolve) client.Host = "127.0.0.1";
        expectError<EFTPError>([&] { client.Connect(); }, c.message);
        EXPECT_FALSE(client.Connected()) << c.message;
    }
}

TEST_F(SocketFaults, ResolvingKeepsAddressesAndLocalhostWithoutALookUp) {
    int lookUps = 0;
    {
        const quill::test::SocketFaultScope count([&](SocketCall call, std::string_view) {
            if (call == SocketCall::Resolve) ++lookUps;
            return 0;
        });
        EXPECT_EQ(resolveHost("LOCALHOST"), "127.0.0.1");
        EXPECT_EQ(resolveHost("LocalHost"), "127.0.0.1");
        EXPECT_EQ(resolveHost("127.0.0.5"), "127.0.0.5");
        EXPECT_EQ(resolveHost("10.0.0.255"), "10.0.0.255");
    }
    EXPECT_EQ(lookUps, 0);
    const quill::test::SocketFaultScope noName(
        [](SocketCall call, std::string_view) { return call == SocketCall::Resolve ? EAI_NONAME : 0; });
    for (const char* name : {"127.0.0.256", "127.0.0", "127.0.0.1.", "1.2.3.4x", "localhost."})
        EXPECT_THROW(resolveHost(name), ESocketError) << name;
}

TEST_F(ScriptedSession, ClosedPortIsRefused) {
    // A port that was just free: bound, read back and closed again.
    TcpSocket probe = TcpSocket::create();
    probe.bind("127.0.0.1", 0);
    const auto port = probe.localAddress().port;
    probe.close();
    client.Port = port;
    expectError<ESocketError>([&] { client.Connect(); }, "Socket Error # 10061\r\nConnection refused.");
}

TEST_F(ScriptedSession, ConnectGivesUpAfterItsTimeout) {
    // A listener whose queue is full and which never accepts: further
    // handshakes are not answered.
    const files::Descriptor full(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    ASSERT_TRUE(full.valid());
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ASSERT_EQ(::bind(full.get(), reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::listen(full.get(), 0), 0);
    ::getsockname(full.get(), reinterpret_cast<sockaddr*>(&address), &length);
    std::vector<TcpSocket> fillers;
    for (int i = 0; i < 4; ++i) {
        TcpSocket filler = TcpSocket::create();
        try {
            filler.connect("127.0.0.1", ntohs(address.sin_port), 200);
            fillers.push_back(std::move(filler));
        } catch (const EConnectTimeout&) {
            break;  // the queue is full already
        }
    }
    client.Port = ntohs(address.sin_port);
    client.ConnectTimeout = 300;
    const auto start = std::chrono::steady_clock::now();
    expectError<EConnectTimeout>([&] { client.Connect(); }, "Connect timed out.");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
    EXPECT_FALSE(client.Connected());
}

}  // namespace
}  // namespace quill::ftp::test
