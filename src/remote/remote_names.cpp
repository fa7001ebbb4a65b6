#include "remote/remote_names.hpp"

#include "runs/file_mask.hpp"
#include "net/ftp_errors.hpp"
#include "text/cp1252.hpp"

namespace quill::ftp {

bool isSafeRemoteName(std::string_view name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string_view::npos &&
           name.find('\\') == std::string_view::npos;
}

StringList listNamesMatching(TFTPClient& client, const std::string& mask) {
    StringList names;
    try {
        client.ListNames(names, mask);
        return names;
    } catch (const EReplyError& refusal) {
        if (refusal.code() != 450 && refusal.code() != 550) throw;
    }

    StringList everything;
    client.ListNames(everything, "");
    const std::string utf8Mask = cp1252ToUtf8(mask);
    for (auto& name : everything) {
        if (name == "." || name == "..") continue;
        if (maskMatches(cp1252ToUtf8(name), utf8Mask)) names.push_back(std::move(name));
    }
    return names;
}

}  // namespace quill::ftp
