#include "sftp/sftp_remote_folder.hpp"

#include <libssh/sftp.h>

#include "runs/file_mask.hpp"
#include "sftp/sftp_errors.hpp"
#include "text/cp1252.hpp"

namespace quill::sftp {

namespace {

// A file under a temporary name is the owner's alone until it takes a page's place.
constexpr mode_t kNewFileMode = 0600;
// What a page gets when it replaces none.
constexpr mode_t kPageMode = 0644;

remote::RemoteEntry::Kind kindOf(EntryType type) {
    switch (type) {
        case EntryType::File:
            return remote::RemoteEntry::Kind::File;
        case EntryType::Folder:
            return remote::RemoteEntry::Kind::Folder;
        case EntryType::Link:
            return remote::RemoteEntry::Kind::Link;
        case EntryType::Other:
            break;
    }
    return remote::RemoteEntry::Kind::Other;
}

// The server refused the request itself; the connection goes on.
bool refusedByServer(const ESftpStatus& refusal) {
    return refusal.status() == SSH_FX_NO_SUCH_FILE || refusal.status() == SSH_FX_PERMISSION_DENIED ||
           refusal.status() == SSH_FX_FAILURE || refusal.status() == SSH_FX_OP_UNSUPPORTED ||
           refusal.status() == SSH_FX_FILE_ALREADY_EXISTS || refusal.status() == SSH_FX_WRITE_PROTECT ||
           refusal.status() == SSH_FX_NO_SUCH_PATH;
}

}  // namespace

void SftpRemoteFolder::connect(const remote::RemoteLogin& login) {
    client_.Host = login.host;
    client_.Username = login.user;
    client_.Password = login.password;
    client_.TrustHostKey = login.trustHostKey;
    client_.Connect();
}

void SftpRemoteFolder::list(const std::string& mask, const std::function<void(remote::RemoteEntry&& entry)>& each) {
    const std::string utf8Mask = cp1252ToUtf8(mask);
    // The whole listing is read first, so a stop leaves no request open.
    for (auto& entry : client_.List()) {
        if (!mask.empty() && !maskMatches(cp1252ToUtf8(entry.name), utf8Mask)) continue;
        remote::RemoteEntry listed;
        listed.name = std::move(entry.name);
        listed.kind = kindOf(entry.type);
        listed.size = entry.size;
        each(std::move(listed));
    }
}

remote::FolderListing SftpRemoteFolder::listFolder(const std::string& folder, std::size_t maxBytes) {
    remote::FolderListing listing;
    for (auto& entry : client_.List(folder)) {
        // What a name costs in a listing: itself and its line end.
        listing.bytes += entry.name.size() + 2;
        if (listing.bytes > maxBytes) throw remote::EListingOverBudget();
        if (!remote::isSafeListedName(entry.name)) throw remote::EUnsafeListedName(entry.name);
        remote::RemoteEntry listed;
        listed.name = std::move(entry.name);
        listed.kind = kindOf(entry.type);
        listed.size = entry.size;
        listing.entries.push_back(std::move(listed));
    }
    client_.ChangeFolder(folder);
    return listing;
}

void SftpRemoteFolder::download(const std::string& name, const std::string& localPath) {
    client_.Download(name, localPath,
                     [this](std::uint64_t done, std::uint64_t size) { reportTransferred(done, size); });
}

void SftpRemoteFolder::upload(const std::string& localPath, const std::string& name) {
    try {
        client_.Upload(localPath, name, kNewFileMode,
                       [this](std::uint64_t done, std::uint64_t size) { reportTransferred(done, size); });
    } catch (const ESftpStatus& refusal) {
        if (refusedByServer(refusal)) throw remote::EStoreRefused(refusal.what());
        throw;
    }
}

remote::RenameResult SftpRemoteFolder::rename(const std::string& from, const std::string& to) {
    std::optional<mode_t> pageMode;
    try {
        pageMode = client_.Permissions(to);
        client_.Chmod(from, pageMode.value_or(kPageMode));
    } catch (const ESftpStatus&) {
        return remote::RenameResult::SourceRefused;
    }
    try {
        client_.Rename(from, to);
    } catch (const ESftpStatus& refusal) {
        if (!refusedByServer(refusal)) throw;
        return refusal.status() == SSH_FX_NO_SUCH_FILE ? remote::RenameResult::SourceRefused
                                                       : remote::RenameResult::TargetRefused;
    }
    return remote::RenameResult::Done;
}

bool SftpRemoteFolder::remove(const std::string& name) {
    try {
        client_.Remove(name);
        return true;
    } catch (const ESftpStatus& refusal) {
        if (!refusedByServer(refusal)) throw;
        return false;
    }
}

}  // namespace quill::sftp
