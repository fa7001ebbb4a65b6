#pragma once

#include <libssh/libssh.h>

#include <optional>
#include <string>

#include "sftp/host_key.hpp"

namespace quill::sftp {

// A key's type and SHA-256 fingerprint.
HostKey describeKey(const ssh_key key);

// The key a known_hosts file lists for host and port, if it lists one.
std::optional<HostKey> knownHostKey(const std::string& knownHostsPath, const std::string& host, unsigned port);

}  // namespace quill::sftp
