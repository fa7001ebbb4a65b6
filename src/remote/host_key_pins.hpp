#pragma once

#include <functional>
#include <string>

#include "sftp/host_key.hpp"

namespace quill::ftp {

// The SSH host keys the user chose to trust, one per "host:port", in the
// settings file's section "SSH-Schlüssel". A key stored for the host is taken
// without a question; one that differs from it is refused with a warning
// naming both and never asked about. Any other key is put to ask (true:
// "Ja"), and a "Ja" stores it.
sftp::HostKeyTrust pinnedHostKeyTrust(std::function<bool(const std::string& question)> ask);

}  // namespace quill::ftp
