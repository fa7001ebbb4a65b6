#pragma once

#include <libssh/sftp.h>

#include <string>

namespace quill::sftp {

// The name under which a server offers a rename that replaces its target in
// one step.
inline constexpr const char* kPosixRenameExtension = "posix-rename@openssh.com";

// Sends that rename as an extended request on the SFTP channel, between two
// requests of the library, and reads its status. Returns the status
// (SSH_FX_OK when renamed), or -1 when the connection failed.
int posixRename(sftp_session sftp, const std::string& from, const std::string& to);

}  // namespace quill::sftp
