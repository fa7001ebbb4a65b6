#pragma once

#include <functional>
#include <optional>
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

// The temporary name for a page's upload, ".quill-upload-" with eight hex
// digits, "-", the page's name and ".tmp", so a run that finds it left
// behind knows its page; and the page such a name belongs to.
std::string temporaryUploadName(const std::string& page);
std::optional<std::string> pageOfTemporaryUpload(std::string_view name);
inline constexpr const char* kTemporaryUploadMask = ".quill-upload-*.tmp";

// Puts the local file on the server under the page's name in the current
// folder. It is uploaded under a temporary name first and renamed over the
// page; a server that refuses to rename onto an existing name gets the page
// deleted and the rename repeated, and only a server that renames nothing,
// or takes no file under the temporary name, gets the page written in place.
// The temporary file is renamed only after its transfer was confirmed whole,
// and removed again when the page is not left missing. beforeWritingInPlace
// runs just before the page itself is written. Failures raise
// EReplaceFailed, which tells what became of the page.
ReplaceStep replaceRemoteFile(remote::RemoteFolder& server, const std::string& localPath, const std::string& page,
                              const std::function<void()>& beforeWritingInPlace = {});

}  // namespace quill::ftp
