#pragma once

#include <string>
#include <vector>

namespace quill::ftp {

// The server folder a run works in (code page 1252, as typed).
struct ServerPlace {
    std::string host;
    std::string user;
    std::string folder;
};

// A page written in place (the server takes no file under a temporary name)
// is partial on the server while its upload runs. Its encoded copy and a note
// stay in the work folder until the upload is confirmed, so a run killed
// meanwhile leaves what the next run needs to finish it.
struct InPlaceWrite {
    std::string page;      // the server's name
    std::string copyPath;  // the encoded copy kept for it
    std::string notePath;
};

// Keeps a copy of localCopy and writes the note, in that order.
InPlaceWrite noteInPlaceWrite(const std::string& workFolder, const ServerPlace& place, const std::string& page,
                              const std::string& localCopy);
// Removes the note, then the kept copy.
void forgetInPlaceWrite(const InPlaceWrite& write);
// The notes that runs killed while writing left for this place.
std::vector<InPlaceWrite> interruptedInPlaceWrites(const std::string& workFolder, const ServerPlace& place);

}  // namespace quill::ftp
