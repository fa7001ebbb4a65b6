#include "ftp/ftp_client.hpp"
#include "net/ftp_errors.hpp"
#include "runs/file_mask.hpp"
#include "text/cp1252.hpp"

namespace quill::ftp {

namespace {

StringList namesMatching(TFTPClient& client, const std::string& mask) {
    StringList names;
    try {
        client.ListNames(names, mask);
        return names;
    } catch (const EReplyError& refusal) {
        if (refusal.code() != 450 && refusal.code() != 550) throw;
    }

    StringList everything;
    client.ListNames(everything, "");
    const std::string utf8Mask = cp1252ToUtf8(mask);
    for (auto& name : everything) {
        if (name == "." || name == "..") continue;
        if (maskMatches(cp1252ToUtf8(name), utf8Mask)) names.push_back(std::move(name));
    }
    return names;
}

}  // namespace

void TFTPClient::connect(const remote::RemoteLogin& login) {
    Passive = login.passive;
    Host = login.host;
    Username = login.user;
    Password = login.password;
    UseTLS = login.tls;
    TrustCertificate = login.trustCertificate;
    folderLister_.forget();
    Connect();
}

std::string TFTPClient::currentFolder() {
    return currentServerFolder(*this);
}

remote::FolderListing TFTPClient::listFolder(const std::string& folder, std::size_t maxBytes) {
    return folderLister_.list(*this, folder, maxBytes);
}

void TFTPClient::list(const std::string& mask, const std::function<void(remote::RemoteEntry&& entry)>& each) {
    // The whole list is read before the first entry is handed on, so a stop
    // leaves no transfer open.
    for (auto& name : namesMatching(*this, mask)) {
        remote::RemoteEntry entry;
        entry.name = std::move(name);
        each(std::move(entry));
    }
}

void TFTPClient::download(const std::string& name, const std::string& localPath) {
    Download(name, localPath, true, false);
}

void TFTPClient::upload(const std::string& localPath, const std::string& name) {
    try {
        Upload(localPath, name, false);
    } catch (const EReplyError& refusal) {
        if (refusal.code() == 550 || refusal.code() == 553) throw remote::EStoreRefused(refusal.what());
        throw;
    }
}

remote::RenameResult TFTPClient::rename(const std::string& from, const std::string& to) {
    try {
        SendCommand("RNFR " + from, {350});
    } catch (const EReplyError&) {
        return remote::RenameResult::SourceRefused;
    }
    try {
        SendCommand("RNTO " + to, {200, 250});
    } catch (const EReplyError&) {
        return remote::RenameResult::TargetRefused;
    }
    return remote::RenameResult::Done;
}

bool TFTPClient::remove(const std::string& name) {
    try {
        SendCommand("DELE " + name, {250});
        return true;
    } catch (const EReplyError&) {
        return false;
    }
}

}  // namespace quill::ftp
