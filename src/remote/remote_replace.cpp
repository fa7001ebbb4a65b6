#include "remote/remote_replace.hpp"

#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>

namespace quill::ftp {

namespace {

constexpr std::string_view kTemporaryPrefix = ".quill-upload-";

// Unique for this machine's runs: the process, a count and the clock.
std::string temporaryUploadName() {
    static std::atomic<unsigned> counter{0};
    const auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
    char suffix[64];
    std::snprintf(suffix, sizeof suffix, "%ld-%u-%llx.tmp", static_cast<long>(::getpid()), counter++,
                  static_cast<unsigned long long>(ticks) & 0xFFFFFFFFull);
    return std::string(kTemporaryPrefix) + suffix;
}

// Best effort: a connection that is gone or refuses leaves the file there,
// where no later run takes it for a page.
void removeQuietly(remote::RemoteFolder& server, const std::string& name) {
    try {
        if (server.connected()) server.remove(name);
    } catch (const EFTPError&) {
    }
}

}  // namespace

bool isTemporaryUploadName(std::string_view name) {
    return name.substr(0, kTemporaryPrefix.size()) == kTemporaryPrefix;
}

ReplaceStep replaceRemoteFile(remote::RemoteFolder& server, const std::string& localPath, const std::string& page) {
    const std::string temporary = temporaryUploadName();
    try {
        server.upload(localPath, temporary);
    } catch (const remote::EStoreRefused&) {
        // Only a name or a right refused leaves writing in place; a full
        // disk would cut the page short as well.
        removeQuietly(server, temporary);
        try {
            server.upload(localPath, page);
        } catch (const QuillError& failure) {
            throw EReplaceFailed(failure, PageLeft::MaybePartial);
        }
        return ReplaceStep::PlainUpload;
    } catch (const QuillError& failure) {
        removeQuietly(server, temporary);
        throw EReplaceFailed(failure, PageLeft::Unchanged);
    }

    bool pageDeleted = false;
    PageLeft left = PageLeft::Unchanged;
    try {
        const remote::RenameResult over = server.rename(temporary, page);
        if (over == remote::RenameResult::Done) return ReplaceStep::RenameOver;
        if (over == remote::RenameResult::TargetRefused) {
            if (server.remove(page)) {
                pageDeleted = true;
                left = PageLeft::Missing;
                if (server.rename(temporary, page) == remote::RenameResult::Done) return ReplaceStep::DeleteAndRename;
            }
        }
        left = PageLeft::MaybePartial;
        server.upload(localPath, page);
        removeQuietly(server, temporary);
        return ReplaceStep::PlainUpload;
    } catch (const QuillError& failure) {
        // With the page deleted, the temporary file is the only new copy on the server.
        if (!pageDeleted) removeQuietly(server, temporary);
        throw EReplaceFailed(failure, left);
    }
}

}  // namespace quill::ftp
