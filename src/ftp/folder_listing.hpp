#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "ftp/ftp_client.hpp"
#include "ftp/listing_entry.hpp"
#include "net/ftp_errors.hpp"

namespace quill::ftp {

// A listing that would pass the bytes it was allowed; the caller names its bound.
class EListingOverBudget : public EFTPError {
public:
    EListingOverBudget() : EFTPError("Die Ordnerliste des Servers ist zu groß.") {}
};

// The entries of one server folder and how many listing bytes they took.
struct FolderListing {
    std::vector<ListingEntry> entries;
    std::size_t bytes = 0;
};

// The server's current folder as PWD names it (RFC 959: quoted, with ""
// for a quote inside).
std::string currentServerFolder(TFTPClient& client);

// A server path below folder; folder is absolute.
std::string serverPathOf(const std::string& folder, const std::string& name);

// Lists server folders with the best command the server has: MLSD where it
// offers MLST, else LIST (Unix or DOS lines), and where LIST is not
// implemented, NLST with every name tried as a folder by CWD. A listing that
// none of these explains raises EListingUnreadable; nothing is changed on
// the server. The client is left in the listed folder.
class FtpFolderLister {
public:
    explicit FtpFolderLister(TFTPClient& client) : client_(client) {}

    // folder: an absolute server path.
    FolderListing list(const std::string& folder, std::size_t maxBytes);

private:
    enum class Method { Mlsd, List, Nlst };

    FolderListing listWith(Method method, const std::string& folder, std::size_t maxBytes);
    FolderListing listByNames(const std::string& folder, std::size_t maxBytes);

    TFTPClient& client_;
    std::optional<Method> method_;
};

}  // namespace quill::ftp
