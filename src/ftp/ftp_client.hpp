#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "ftp/folder_listing.hpp"
#include "ftp/ftp_reply.hpp"
#include "ftp/listing_limits.hpp"
#include "net/channel.hpp"
#include "net/tcp_socket.hpp"
#include "net/tls_session.hpp"
#include "remote_folder/remote_folder.hpp"
#include "text/string_list.hpp"

namespace quill::ftp {

enum TFTPTransferType { ftASCII, ftBinary };
enum TMaxLineAction { maException, maSplit };

class ControlWatch;
class DataConnection;

// The FTP client: one control connection, and one data connection at a time
// inside ListNames, Download and Upload. Every call blocks until it is done
// and reports failures as EFTPError subclasses. As a remote folder it is what
// the remote run talks to (ftp_remote_folder.cpp).
class TFTPClient : public remote::RemoteFolder {
public:
    TFTPClient();
    ~TFTPClient() override;
    TFTPClient(const TFTPClient&) = delete;
    TFTPClient& operator=(const TFTPClient&) = delete;

    // Settings. Every wait has a finite default, so a server that stops
    // answering cannot block the program; 0 means no limit.
    std::string Host;
    std::uint16_t Port = 21;
    std::string Username;
    std::string Password;
    bool AutoLogin = true;
    bool Passive = false;
    int ConnectTimeout = 30000;   // ms, control and data connections
    int ReadTimeout = 60000;      // ms, for a reply's first byte, and from there for the whole reply
    int TransferTimeout = 60000;  // ms, a window in which a data connection must move at least 1 KiB
    int AcceptTimeout = 60000;    // ms, overall wait for the server's active-mode connection
    std::size_t MaxLineLength = 16384;
    TMaxLineAction MaxLineAction = maException;
    std::size_t RecvBufferSize = 32768;
    std::size_t SendBufferSize = 32768;
    std::string ExternalIP;
    // Explicit TLS: "AUTH TLS" after the greeting, and nothing after it in
    // clear text, neither on the control nor on any data connection.
    bool UseTLS = false;
    // Asked about a certificate the system does not vouch for; none refuses it.
    CertificateTrust TrustCertificate;

    TFTPTransferType TransferType() const { return transferType_; }

    // Control connection.
    void Connect();
    void Disconnect();
    bool Connected();
    void ChangeFolder(const std::string& folder);
    int SendCommand(const std::string& line, const ReplyCodes& allowed = {});
    int SendCommand(const std::string& line, int allowed) { return SendCommand(line, ReplyCodes{allowed}); }
    int ReadReply(const ReplyCodes& allowed = {});
    void WriteLine(const std::string& line);
    void SetTransferType(TFTPTransferType type);
    bool SupportsFeature(const std::string& name) const;

    const TFTPReply& LastReply() const { return lastReply_; }
    const TFTPReply& Greeting() const { return greeting_; }
    const StringList& Features() const { return features_; }
    const std::string& SystemDescription() const { return systemDescription_; }
    bool ServerUtcOffsetKnown() const { return utcOffsetKnown_; }
    int ServerUtcOffset() const { return utcOffsetMinutes_; }
    // The control socket's own address, as read after connecting. The
    // server's is kept too: data connections are made with it only.
    const SocketAddress& LocalAddress() const { return localAddress_; }

    // Data transfers.
    void ListNames(StringList& dest, const std::string& mask);
    // The raw bytes of a listing command ("MLSD", "LIST", "NLST"); one that
    // grows past maxBytes raises remote::EListingOverBudget.
    std::string ReceiveListing(const std::string& commandLine, std::size_t maxBytes);
    void Download(const std::string& remote, const std::string& localPath, bool canOverwrite, bool resume);
    void Upload(const std::string& localPath, const std::string& remote, bool append);

    // The remote folder. The login's fields replace Host, Username, Password,
    // Passive, UseTLS and TrustCertificate; Port and the waits stay as set.
    void connect(const remote::RemoteLogin& login) override;
    bool connected() override { return Connected(); }
    void disconnect() override { Disconnect(); }
    void changeFolder(const std::string& folder) override { ChangeFolder(folder); }
    std::string currentFolder() override;
    remote::FolderListing listFolder(const std::string& folder, std::size_t maxBytes) override;
    // NLST with the mask; a server that answers 450 or 550 (nothing matched,
    // or it takes no pattern) is asked once more with a plain NLST, and of
    // that list the names matching the mask by the rule of the local folder
    // search (so "*.htm" keeps "index.html" too) are kept, never "." or "..".
    // Only when the plain list is refused too does the refusal end the call.
    void list(const std::string& mask, const std::function<void(remote::RemoteEntry&& entry)>& each) override;
    void download(const std::string& name, const std::string& localPath) override;
    // A 550 or 553 reply (the name or the right refused) raises EStoreRefused.
    void upload(const std::string& localPath, const std::string& name) override;
    remote::RenameResult rename(const std::string& from, const std::string& to) override;
    bool remove(const std::string& name) override;

private:
    void openControlConnection();
    void login();
    void afterLogin();
    void startControlTls();
    void protectDataConnections();
    void startDataTls(DataConnection& data);
    bool offersSiteZone() const;
    std::string readLine();
    void receiveMore();
    StringList readReplyLines();
    void discardStaleReplies();
    // Runs the step; a server that stalled or flooded it loses the connection.
    void abandonOnStall(const std::function<void()>& step);
    void requireSocket() const;
    void markClosedByPeer();

    // Data transfer steps.
    using PieceSink = std::function<void(std::string_view piece)>;
    // Passive: returns the address the PASV reply names. Active: sets up the
    // listener in data and announces it.
    SocketAddress prepareTransfer(const std::string& commandLine, DataConnection& data);
    // Active: the server's connection, or "Connect timed out." (or the
    // server's final error) when none came.
    void awaitServerConnection(DataConnection& data);
    struct Received {
        std::uint64_t bytes = 0;
        std::optional<std::uint64_t> announced;  // by the reply that opened the transfer
    };
    Received receivingTransfer(const std::string& commandLine, const PieceSink& sink,
                               std::optional<std::uint64_t> restartAt);
    // A listing's text, received in ASCII mode; check sees the text after each
    // piece and may end the transfer by throwing. The transfer type in force
    // before is set again, also when the listing fails.
    using TextCheck = std::function<void(const std::string& text, std::size_t appended)>;
    std::string receiveText(const std::string& commandLine, const TextCheck& check);
    void sendingTransfer(const std::string& commandLine, int fileDescriptor);
    // Reads the final reply once the transfer has moved its data, or as soon
    // as the server speaks while it moves.
    ControlWatch watchControl(std::optional<int>& finalCode);
    int readFinalReply();
    bool serverCanRestart();

    Channel control_;
    std::string certificateFingerprint_;
    bool everConnected_ = false;
    bool closedByPeer_ = false;
    std::string input_;
    std::size_t lineSearchFrom_ = 0;
    ReceiveBound* replyBound_ = nullptr;  // set while a reply is read
    SocketAddress localAddress_;
    SocketAddress peerAddress_;
    TFTPReply lastReply_;
    TFTPReply greeting_;
    StringList features_;
    std::string systemDescription_;
    bool utcOffsetKnown_ = false;
    int utcOffsetMinutes_ = 0;
    TFTPTransferType transferType_ = ftBinary;
    bool transferring_ = false;
    std::optional<bool> canRestart_;
    FtpFolderLister folderLister_;
    // What the name lists of this connection may still hold in all.
    std::size_t listingBytesLeft_ = kMaxListingBytes;
};

}  // namespace quill::ftp
