#pragma once

#include <functional>
#include <string>

namespace quill::remote {

// A server's SSH host key as the user sees it: the key type as known_hosts
// names it ("ssh-ed25519") and the SHA-256 fingerprint in the usual
// "SHA256:" form.
struct HostKey {
    std::string type;
    std::string fingerprint;

    bool operator==(const HostKey&) const = default;
    // "ssh-ed25519 SHA256:…", the form kept in the settings file.
    std::string text() const { return type + " " + fingerprint; }
};

// Decides about a host key that no known_hosts file lists: true goes on with
// it, false ends the connection. It may raise an error itself, for a key that
// differs from one trusted before (never asked about).
using HostKeyTrust = std::function<bool(const std::string& hostPort, const HostKey& offered)>;

}  // namespace quill::remote
