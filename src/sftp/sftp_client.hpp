#pragma once

#include <sys/types.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "remote_folder/remote_folder.hpp"
#include "sftp/host_key.hpp"
#include "sftp/login_method.hpp"

namespace quill::sftp {

class SshSession;

enum class EntryType { File, Folder, Link, Other };

// One name of a folder listing, as the server gave it; a link is reported as
// a link and never followed.
struct RemoteEntry {
    std::string name;
    EntryType type = EntryType::Other;
    std::uint64_t size = 0;
};

// An SFTP client over one SSH connection. Every call blocks until it is done,
// each wait on the server bounded, and reports failures as ESftpError
// subclasses. Names are relative to the current folder.
class SftpClient {
public:
    SftpClient();
    ~SftpClient();
    SftpClient(const SftpClient&) = delete;
    SftpClient& operator=(const SftpClient&) = delete;

    std::string Host;
    std::uint16_t Port = 22;
    std::string Username;
    // Tried only when no key is accepted; empty tries none.
    std::string Password;
    int ConnectTimeout = 30000;  // ms: the connection, and each of handshake, login and SFTP start
    int ReadTimeout = 60000;     // ms: each request, and each piece of a transfer
    // Asked about a host key that no known_hosts file lists; none refuses it.
    HostKeyTrust TrustHostKey;
    // The folder of known_hosts and the default keys; empty: ~/.ssh.
    std::string SshFolder;

    // Connects, checks the host key and logs in, keys first.
    void Connect();
    // Closes the connection; nothing happens when there is none.
    void Disconnect();
    bool Connected() const;
    LoginMethod Login() const;
    const HostKey& ServerKey() const;

    // Names below resolve against the folder from then on: relative to the
    // current one, or absolute. After Connect it is the login folder.
    void ChangeFolder(const std::string& folder);
    const std::string& CurrentFolder() const { return folder_; }

    // The entries of a folder ("" for the current one), without "." and "..".
    std::vector<RemoteEntry> List(const std::string& folder = "");
    // Replaces the local file with the server file's bytes.
    // meter, when given, hears the bytes moved after every piece.
    void Download(const std::string& remote, const std::string& localPath, const remote::TransferMeter& meter = {});
    // Writes the server file, replacing one of that name (whose permissions
    // stay); a new one gets newFileMode less the server's umask.
    void Upload(const std::string& localPath, const std::string& remote, mode_t newFileMode,
                const remote::TransferMeter& meter = {});
    // The permission bits of a server file (a link's own); nothing when it
    // does not exist.
    std::optional<mode_t> Permissions(const std::string& remote);
    void Chmod(const std::string& remote, mode_t permissions);
    // Whether Rename replaces an existing target in one step.
    bool RenameReplaces() const;
    // Renames; over an existing target only where RenameReplaces().
    void Rename(const std::string& from, const std::string& to);
    void Remove(const std::string& remote);

private:
    std::string path(const std::string& name) const;
    SshSession& session();

    std::unique_ptr<SshSession> session_;
    std::string folder_;
};

}  // namespace quill::sftp
