#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "addresses/address_protection.hpp"
#include "addresses/page_addresses.hpp"
#include "text/string_list.hpp"

namespace quill {

struct ReadableAddress {
    std::string path;
    int line;             // from 1
    int column;           // from 1, in characters of the page
    std::string address;  // UTF-8, as a reader sees it
    ReadableKind kind;
};

// Every address a reader (or a harvester) can still read in a page: judged
// on the text a browser shows, so a partly encoded address is a hit, while
// one written entirely as character references is not.
std::vector<ReadableAddress> auditText(std::string_view bytes, const std::string& path);

// The audit of several files, in list order; a path listed twice counts once
// and a missing file is passed over. An unreadable file raises the error of
// files::readWholeFile.
std::vector<ReadableAddress> auditFiles(const StringList& paths);

}  // namespace quill
