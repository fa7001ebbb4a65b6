#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "net/ftp_errors.hpp"
#include "remote_folder/remote_folder.hpp"

namespace quill::ftp {

enum class ListingFormat { Mlsd, List };

// A listing none of the known formats explains; the message names the first
// line that failed.
class EListingUnreadable : public EFTPError {
public:
    explicit EListingUnreadable(std::string_view line);
};

// One line of each format, or nothing when the line is not of that format.
// The name is not checked here.
std::optional<remote::RemoteEntry> parseMlsdLine(std::string_view line);
std::optional<remote::RemoteEntry> parseUnixListLine(std::string_view line);
std::optional<remote::RemoteEntry> parseDosListLine(std::string_view line);

// The entries of a whole listing, without the folder itself and its parent
// ("." and "..", or MLSD's cdir and pdir). A LIST listing is read as Unix
// lines, or else as DOS lines; a line that fits neither raises
// EListingUnreadable, an unsafe name remote::EUnsafeListedName.
std::vector<remote::RemoteEntry> parseListing(std::string_view text, ListingFormat format);

}  // namespace quill::ftp
