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

enum class Rename { Done, FromRefused, ToRefused };

Rename renameOnServer(TFTPClient& client, const std::string& from, const std::string& to) {
    try {
        client.SendCommand("RNFR " + from, {350});
    } catch (const EReplyError&) {
        return Rename::FromRefused;
    }
    try {
        client.SendCommand("RNTO " + to, {200, 250});
    } catch (const EReplyError&) {
        return Rename::ToRefused;
    }
    return Rename::Done;
}

// Best effort: a connection that is gone or refuses leaves the file there,
// where no later run takes it for a page.
void removeQuietly(TFTPClient& client, const std::string& name) {
    try {
        if (client.Connected()) client.SendCommand("DELE " + name, {250});
    } catch (const EFTPError&) {
    }
}

}  // namespace

bool isTemporaryUploadName(std::string_view name) {
    return name.substr(0, kTemporaryPrefix.size()) == kTemporaryPrefix;
}

ReplaceStep replaceRemoteFile(TFTPClient& client, const std::string& localPath, const std::string& page) {
    const std::string temporary = temporaryUploadName();
    try {
        client.Upload(localPath, temporary, false);
    } catch (const EReplyError& refusal) {
        removeQuietly(client, temporary);
        // Only a name or a right refused leaves writing in place; a full
        // disk would cut the page short as well.
        if (refusal.code() != 550 && refusal.code() != 553) throw EReplaceFailed(refusal, PageLeft::Unchanged);
        try {
            client.Upload(localPath, page, false);
        } catch (const QuillError& failure) {
            throw EReplaceFailed(failure, PageLeft::MaybePartial);
        }
        return ReplaceStep::PlainUpload;
    } catch (const QuillError& failure) {
        removeQuietly(client, temporary);
        throw EReplaceFailed(failure, PageLeft::Unchanged);
    }

    bool pageDeleted = false;
    PageLeft left = PageLeft::Unchanged;
    try {
        const Rename over = renameOnServer(client, temporary, page);
        if (over == Rename::Done) return ReplaceStep::RenameOver;
        if (over == Rename::ToRefused) {
            try {
                client.SendCommand("DELE " + page, {250});
                pageDeleted = true;
                left = PageLeft::Missing;
            } catch (const EReplyError&) {
            }
            if (pageDeleted && renameOnServer(client, temporary, page) == Rename::Done)
                return ReplaceStep::DeleteAndRename;
        }
        left = PageLeft::MaybePartial;
        client.Upload(localPath, page, false);
        removeQuietly(client, temporary);
        return ReplaceStep::PlainUpload;
    } catch (const QuillError& failure) {
        // With the page deleted, the temporary file is the only new copy on the server.
        if (!pageDeleted) removeQuietly(client, temporary);
        throw EReplaceFailed(failure, left);
    }
}

}  // namespace quill::ftp
