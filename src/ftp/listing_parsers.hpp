#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "ftp/listing_entry.hpp"
#include "net/ftp_errors.hpp"

namespace quill::ftp {

enum class ListingFormat { Mlsd, List };

// A listing none of the known formats explains; the message names the first
// line that failed.
class EListingUnreadable : public EFTPError {
public:
    explicit EListingUnreadable(std::string_view line);
};

// A listed name that could lead out of the mirrored folder, or that no local
// file can carry: "/" or "\", "..", control characters, longer than 4 KiB.
class EUnsafeListedName : public EFTPError {
public:
    explicit EUnsafeListedName(std::string_view name);
};

// One line of each format, or nothing when the line is not of that format.
// The name is not checked here.
std::optional<ListingEntry> parseMlsdLine(std::string_view line);
std::optional<ListingEntry> parseUnixListLine(std::string_view line);
std::optional<ListingEntry> parseDosListLine(std::string_view line);

// Whether a listed name may become a local path component.
bool isSafeListedName(std::string_view name);

// The entries of a whole listing, without the folder itself and its parent
// ("." and "..", or MLSD's cdir and pdir). A LIST listing is read as Unix
// lines, or else as DOS lines; a line that fits neither raises
// EListingUnreadable, an unsafe name EUnsafeListedName.
std::vector<ListingEntry> parseListing(std::string_view text, ListingFormat format);

}  // namespace quill::ftp
