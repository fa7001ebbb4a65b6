#pragma once

#include <string>

#include "remote_folder/host_key.hpp"

namespace quill::sftp {

using remote::HostKey;
using remote::HostKeyTrust;

// The warning for a key that differs from the one known for the host.
std::string changedHostKeyMessage(const std::string& hostPort, const HostKey& known, const HostKey& offered);

// The question for a key nobody vouches for yet.
std::string unknownHostKeyQuestion(const std::string& hostPort, const HostKey& offered);

// "host:port", the name a host key is kept under.
std::string hostPortKey(const std::string& host, unsigned port);

}  // namespace quill::sftp
