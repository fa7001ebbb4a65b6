#include "remote/remote_replace.hpp"

#include <cstdio>
#include <random>

namespace quill::ftp {

namespace {

constexpr std::string_view kTemporaryPrefix = ".quill-upload-";

constexpr std::string_view kTemporaryEnding = ".tmp";
constexpr std::size_t kTagDigits = 8;

bool isLowerHex(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
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

std::string temporaryUploadName(const std::string& page) {
    // Two runs on one folder must not share a name.
    static std::mt19937 random(std::random_device{}());
    char tag[kTagDigits + 1];
    std::snprintf(tag, sizeof tag, "%08x", static_cast<unsigned>(random()));
    return std::string(kTemporaryPrefix) + tag + "-" + page + std::string(kTemporaryEnding);
}

std::optional<std::string> pageOfTemporaryUpload(std::string_view name) {
    const std::size_t fixed = kTemporaryPrefix.size() + kTagDigits + 1 + kTemporaryEnding.size();
    if (!isTemporaryUploadName(name) || name.size() <= fixed) return std::nullopt;
    if (name.substr(name.size() - kTemporaryEnding.size()) != kTemporaryEnding) return std::nullopt;
    const std::string_view tag = name.substr(kTemporaryPrefix.size(), kTagDigits);
    for (const char c : tag)
        if (!isLowerHex(c)) return std::nullopt;
    if (name[kTemporaryPrefix.size() + kTagDigits] != '-') return std::nullopt;
    const std::size_t start = kTemporaryPrefix.size() + kTagDigits + 1;
    return std::string(name.substr(start, name.size() - kTemporaryEnding.size() - start));
}

ReplaceStep replaceRemoteFile(remote::RemoteFolder& server, const std::string& localPath, const std::string& page,
                              const std::function<void()>& beforeWritingInPlace) {
    const auto writeInPlace = [&] {
        if (beforeWritingInPlace) beforeWritingInPlace();
        server.upload(localPath, page);
    };
    const std::string temporary = temporaryUploadName(page);
    try {
        server.upload(localPath, temporary);
    } catch (const remote::EStoreRefused&) {
        // Only a name or a right refused leaves writing in place; a full
        // disk would cut the page short as well.
        removeQuietly(server, temporary);
        try {
            writeInPlace();
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
        writeInPlace();
        removeQuietly(server, temporary);
        return ReplaceStep::PlainUpload;
    } catch (const QuillError& failure) {
        // With the page deleted, the temporary file is the only new copy on the server.
        if (!pageDeleted) removeQuietly(server, temporary);
        throw EReplaceFailed(failure, left);
    }
}

}  // namespace quill::ftp
