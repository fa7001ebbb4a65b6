#pragma once

namespace quill::sftp {

// How a login went.
enum class LoginMethod { None, PublicKey, Password, KeyboardInteractive };

}  // namespace quill::sftp
