#pragma once

#include <string_view>

namespace quill::ftp {

// A name the server listed is used as a local file name inside the work
// folder only when it cannot lead out of it: not empty, not "." or "..", and
// without a path separator of either kind.
bool isSafeRemoteName(std::string_view name);

}  // namespace quill::ftp
