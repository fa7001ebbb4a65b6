#pragma once

#include <string>
#include <string_view>

#include "ftp/ftp_client.hpp"
#include "text/string_list.hpp"

namespace quill::ftp {

// A name the server listed is used as a local file name inside the work
// folder only when it cannot lead out of it: not empty, not "." or "..", and
// without a path separator of either kind.
bool isSafeRemoteName(std::string_view name);

// The names of the current server folder that match the mask. The mask is
// sent with NLST first; a server that answers 450 or 550 (nothing matched, or
// it takes no pattern) is asked once more with a plain NLST, and of that list
// the names matching the mask by the rule of the local folder search (so
// "*.htm" keeps "index.html" too) are kept, never "." or "..". Only when the
// plain list is refused too does the server's refusal end the run.
StringList listNamesMatching(TFTPClient& client, const std::string& mask);

}  // namespace quill::ftp
