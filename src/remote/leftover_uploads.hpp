#pragma once

#include <string>

#include "remote_folder/remote_folder.hpp"
#include "text/string_list.hpp"

namespace quill::ftp {

// What became of the temporary uploads an earlier, interrupted run left in
// the current server folder (names as the server spells them).
struct LeftoverUploads {
    StringList finished;  // the page was missing: its complete new text took its place
    StringList removed;   // the page was there: the temporary file went
    StringList kept;      // the server refused to rename or delete it
};

// Finds the temporary uploads of this program in the current folder and
// settles each: a temporary file is renamed onto its page only after a
// complete, confirmed transfer, and the page is deleted before that only
// on servers that rename onto no existing name, so a missing page means
// its temporary file is whole and is put in its place; beside an existing
// page it is only a leftover and is deleted.
LeftoverUploads settleLeftoverUploads(remote::RemoteFolder& server);

// The report for the user (UTF-8); empty when there was nothing.
std::string leftoverUploadsMessage(const LeftoverUploads& leftovers);

}  // namespace quill::ftp
