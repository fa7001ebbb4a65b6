#pragma once

#include <string>
#include <string_view>

#include "net/ftp_errors.hpp"
#include "remote_folder/remote_folder.hpp"

namespace quill::ftp {

// How a page reached the server.
enum class ReplaceStep {
    RenameOver,       // uploaded beside it, renamed over it: old or new at every moment
    DeleteAndRename,  // the server renames onto no existing name: old, briefly absent, or new
    PlainUpload,      // the server renames nothing: written in place, partial while it runs
};

// What a failed replacement left of the page on the server.
enum class PageLeft { Unchanged, Missing, MaybePartial };

class EReplaceFailed : public EFTPError {
public:
    EReplaceFailed(const QuillError& cause, PageLeft left) : EFTPError(cause.what()), left_(left) {}
    PageLeft pageLeft() const { return left_; }

private:
    PageLeft left_;
};

// Names of the upload's temporary files: hidden, and never taken for a page
// by a later run whatever its masks.
bool isTemporaryUploadName(std::string_view name);

// Puts the local file on the server under the page's name in the current
// folder. It is uploaded under a temporary name first and renamed over the
// page; a server that refuses to rename onto an existing name gets the page
// deleted and the rename repeated, and only a server that renames nothing,
// or takes no file under the temporary name, gets the page written in place.
// The temporary file is removed again when the page is not left missing.
// Failures raise EReplaceFailed, which tells what became of the page.
ReplaceStep replaceRemoteFile(remote::RemoteFolder& server, const std::string& localPath, const std::string& page);

}  // namespace quill::ftp
