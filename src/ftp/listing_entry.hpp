#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace quill::ftp {

// What a folder listing says an entry is. Links are never followed, so a
// link to a folder cannot lead a walk in circles.
enum class EntryKind { File, Folder, Link, Other };

// One entry of a server folder listing. name is as the server sent it (code
// page 1252 bytes); size and modified only where the format gives them,
// modified as "YYYYMMDDHHMMSS" (server time; the seconds of a Unix or DOS
// listing are 00).
struct ListingEntry {
    std::string name;
    EntryKind kind = EntryKind::Other;
    std::optional<std::uint64_t> size;
    std::string modified;

    bool operator==(const ListingEntry&) const = default;
};

}  // namespace quill::ftp
