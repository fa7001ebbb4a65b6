#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "support/server_tls.hpp"
#include "support/test_certificate.hpp"

namespace quill::test {

// One thing the scripted server does in answer to a command.
struct ServerStep {
    enum class Kind {
        Send,
        OpenData,
        SendData,
        ReceiveData,
        CloseData,
        ResetData,
        CloseControl,
        Pause,
        Drip,
        DripData,
        StrangerData,
        StartTls,
        SecureData,
        CloseDataWithoutAlert
    };
    Kind kind;
    std::string bytes;
    int milliseconds = 0;
    int times = 1;
};
using Script = std::vector<ServerStep>;

// Exact bytes on the control connection, and a line with CR LF added.
ServerStep sendRaw(std::string bytes);
ServerStep replyLine(const std::string& line);
// The data connection: accepted (after PASV) or made to the PORT address.
ServerStep openData();
ServerStep sendData(std::string bytes);
// The bytes that many times over, without holding them all at once.
ServerStep sendDataRepeated(std::string bytes, int times);
// Reads until the client closes; the bytes are kept as an upload.
ServerStep receiveData();
ServerStep closeData();
// Closes with a reset instead of an orderly end.
ServerStep resetData();
ServerStep closeControl();
ServerStep pause(int milliseconds);
// One byte at a time, each after the interval, on the control or data
// connection. With TLS the bytes go into one record, whose bytes are dripped.
ServerStep drip(std::string bytes, int intervalMs);
ServerStep dripData(std::string bytes, int intervalMs);
// Active mode: another host (127.0.0.2) reaches the PORT address first and
// sends the bytes.
ServerStep strangerData(std::string bytes);
// TLS as the server with the certificate of setCertificate: on the control
// connection from here on, or on the open data connection.
ServerStep startTls();
ServerStep secureData();
// Closes a secured data connection without the close alert.
ServerStep closeDataWithoutAlert();

// "150 ...", the data sent, "226 ..."; and the same for receiving.
Script transferOut(std::string data);
Script transferIn();

// An FTP server inside the test process, on 127.0.0.1 with a free port. It
// serves one control connection after another, answers each command from its
// script, and records every command line it receives. An empty script is
// silence. Every wait of its own is bounded, so a test cannot hang on it.
// Unless scripted otherwise, it keeps files in memory: STOR stores what
// arrived, RETR, SIZE, NLST (with "*" and "?"), DELE, RNFR and RNTO use them.
// An NLST for the client's temporary upload names is always answered from
// these files and never uses up a scripted answer.
class ScriptedFtpServer {
public:
    ScriptedFtpServer();
    ~ScriptedFtpServer();
    ScriptedFtpServer(const ScriptedFtpServer&) = delete;
    ScriptedFtpServer& operator=(const ScriptedFtpServer&) = delete;

    std::uint16_t port() const { return port_; }

    // What a new connection is greeted with (default: "220 Scripted server ready").
    void setGreeting(Script greeting);
    // The answer to the next command with this verb; queued answers are used once each.
    void once(const std::string& verb, Script answer);
    // The answer to every command with this verb when none is queued.
    void always(const std::string& verb, Script answer);
    // The certificate startTls and secureData show; TLS sessions may be resumed.
    void setCertificate(const TestCertificate& certificate);
    // What the server's TLS offers, in GnuTLS priority syntax (default: the library's).
    void setTlsPriorities(const std::string& priorities);
    // For each secureData step: whether the client resumed an earlier session.
    std::vector<bool> dataSessionsResumed() const;
    // The passive data listener moves to this loopback address (default 127.0.0.1).
    void setPassiveAddress(const std::string& address);
    // PASV names this address while the listener stays where it is.
    void setAnnouncedPassiveAddress(const std::string& address);
    // STOR of a name that begins so is refused with 553, as by a server
    // that takes no hidden or temporary names.
    void setRefusedStorePrefix(const std::string& prefix);
    // Whether RNTO may replace an existing file (default yes).
    void setRenameOntoExisting(bool allowed);

    // The files the server keeps.
    void putFile(const std::string& name, std::string contents);
    std::map<std::string, std::string> files() const;

    // Command lines received so far, without their line ends.
    std::vector<std::string> commands() const;
    // Bytes received by each receiveData step, in order.
    std::vector<std::string> uploads() const;
    // Things that went wrong on the server's side (a missed data connection...).
    std::vector<std::string> problems() const;
    // The address and port of the last PORT command, as "h.h.h.h:port".
    std::string lastPortTarget() const;
    // Number of control connections the client has ended so far.
    int connectionsEnded() const;
    // Waits (bounded) until that many connections have ended.
    bool waitForConnectionsEnded(int count, int timeoutMs = 5000) const;

private:
    void run();
    // Answers one control connection and closes it.
    void serve(int control);
    Script answerFor(const std::string& verb, const std::string& argument);
    Script defaultAnswer(const std::string& verb, const std::string& argument);
    void perform(int control, int& data, const ServerStep& step, const std::string& argument);
    Script fileAnswer(const std::string& verb, const std::string& argument);
    void dripBytes(int fd, const std::string& bytes, int intervalMs);
    void sendAsStranger(const std::string& bytes);
    int openDataConnection();
    void dropStalePassiveConnections();
    void addProblem(const std::string& text);
    void bindPassiveListener(const std::string& address);

    int listener_ = -1;
    int passiveListener_ = -1;
    std::uint16_t port_ = 0;
    std::string passiveAddress_ = "127.0.0.1";
    std::string announcedPassiveAddress_;
    bool renameOntoExisting_ = true;
    std::string refusedStorePrefix_;
    std::map<std::string, std::string> files_;
    std::string renameFrom_;
    std::uint16_t passivePort_ = 0;
    std::string portHost_;
    std::uint16_t portPort_ = 0;
    bool stop_ = false;

    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    Script greeting_;
    std::map<std::string, std::deque<Script>> queued_;
    std::map<std::string, Script> standing_;
    std::vector<std::string> commands_;
    std::vector<std::string> uploads_;
    std::vector<std::string> problems_;
    int connectionsEnded_ = 0;
    std::optional<TestCertificate> certificate_;
    std::string tlsPriorities_;
    gnutls_datum_t ticketKey_{};
    std::vector<bool> dataSessionsResumed_;
    // Used by the server's thread only.
    std::unique_ptr<ServerTls> controlTls_;
    std::unique_ptr<ServerTls> dataTls_;
    std::thread thread_;
};

}  // namespace quill::test
