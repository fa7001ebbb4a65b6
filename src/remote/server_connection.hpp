#pragma once

#include <cstdint>
#include <memory>

#include "remote_folder/remote_folder.hpp"

namespace quill::remote {

// The one place that knows which client reaches a server: SFTP when the
// login's host reads "sftp://…", else FTP, encrypted or not as the login
// asks. Port 0 keeps the protocol's own; a port in the host counts first.
std::unique_ptr<RemoteFolder> serverConnection(std::uint16_t port = 0);

}  // namespace quill::remote
