#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "remote_folder/remote_folder.hpp"

namespace quill::ftp {

class TFTPClient;

// The server's current folder as PWD names it (quoted, with "" for a quote
// inside).
std::string currentServerFolder(TFTPClient& client);

// Lists server folders with the best command the server has: MLSD where it
// offers MLST, else LIST (Unix or DOS lines), and where LIST is not
// implemented, NLST with every name tried as a folder by CWD. A listing that
// none of these explains raises EListingUnreadable; nothing is changed on
// the server. The client is left in the listed folder. The command that
// worked is kept for the next folders of the connection.
class FtpFolderLister {
public:
    // folder: an absolute server path.
    remote::FolderListing list(TFTPClient& client, const std::string& folder, std::size_t maxBytes);
    // A new connection may reach another server.
    void forget() { method_.reset(); }

private:
    enum class Method { Mlsd, List, Nlst };

    remote::FolderListing listWith(TFTPClient& client, Method method, const std::string& folder, std::size_t maxBytes);
    remote::FolderListing listByNames(TFTPClient& client, const std::string& folder, std::size_t maxBytes);

    std::optional<Method> method_;
};

}  // namespace quill::ftp
