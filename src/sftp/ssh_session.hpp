#pragma once

#include <libssh/callbacks.h>
#include <libssh/libssh.h>
#include <libssh/sftp.h>

#include <memory>
#include <string>

#include "files/descriptor.hpp"
#include "sftp/host_key.hpp"
#include "sftp/login_method.hpp"
#include "sftp/stall_guard.hpp"

namespace quill::sftp {

// What one connection needs to be made.
struct SshTarget {
    std::string host;
    unsigned port = 22;
    std::string user;
    std::string password;
    std::string sshFolder;  // known_hosts and default keys
    int connectTimeoutMs = 30000;
    HostKeyTrust trust;
};

// One SSH connection with its SFTP channel, the library's handles owned and
// every blocking call bounded by the stall guard.
class SshSession {
public:
    // Connects, checks the host key, logs in and starts SFTP.
    explicit SshSession(const SshTarget& target);
    ~SshSession();
    SshSession(const SshSession&) = delete;
    SshSession& operator=(const SshSession&) = delete;

    sftp_session sftp() const { return sftp_; }
    const HostKey& serverKey() const { return serverKey_; }
    LoginMethod login() const { return login_; }
    bool alive() const;

    // Arms the stall guard for one call into the library.
    StallGuard::Armed bound(int limitMs) { return StallGuard::Armed(*guard_, limitMs); }

    // Raises the failure of the last SFTP request: the server's status, a
    // lost connection, or a passed bound.
    [[noreturn]] void fail(const std::string& action, const std::string& name) const;

private:
    void close();
    void openSocket(const SshTarget& target);
    void checkHostKey(const SshTarget& target);
    void logIn(const SshTarget& target);
    void startSftp(const SshTarget& target);
    [[noreturn]] void failConnection(const std::string& step) const;

    ssh_session ssh_ = nullptr;
    sftp_session sftp_ = nullptr;
    ssh_callbacks_struct callbacks_{};
    files::Descriptor socket_;
    std::unique_ptr<StallGuard> guard_;
    HostKey serverKey_;
    LoginMethod login_ = LoginMethod::None;
    std::string hostPort_;
};

}  // namespace quill::sftp
