#pragma once

#include <sys/types.h>

#include <string>
#include <string_view>

#include "support/server_process.hpp"
#include "support/temp_folder.hpp"

namespace quill::test {

// A real SSH server: the system's sshd on 127.0.0.1 and a free port, with a
// host key, configuration and user of its own, password and key login, and
// SFTP. It runs only as root (it makes the user); tests skip otherwise.
class SshdServer {
public:
    static bool canRun();

    SshdServer();
    ~SshdServer();
    SshdServer(const SshdServer&) = delete;
    SshdServer& operator=(const SshdServer&) = delete;

    unsigned port() const { return port_; }
    const std::string& user() const { return user_; }
    const std::string& password() const { return password_; }
    // The host key as a known_hosts line names it: "ssh-ed25519 AAAA…".
    const std::string& hostKey() const { return hostKey_; }
    // Its SHA-256 fingerprint as ssh-keygen prints it: "SHA256:…".
    std::string hostFingerprint() const;

    // A file below the user's login folder, owned by the user.
    std::string put(std::string_view name, std::string_view bytes, mode_t mode = 0644) const;
    std::string path(std::string_view name) const;
    // Lets a public key (a line of a .pub file) log in as the user.
    void authorize(const std::string& publicKey) const;

private:
    TempFolder root_;
    std::string user_;
    std::string password_ = "Geheim-42";
    std::string home_;
    std::string hostKey_;
    unsigned port_ = 0;
    bool userMade_ = false;
    ServerProcess process_;
};

// Makes an Ed25519 key pair without passphrase at privatePath (and
// privatePath.pub); returns the public line.
std::string makeKeyPair(const std::string& privatePath);

}  // namespace quill::test
