#include "ftp/folder_listing.hpp"

#include "ftp/ftp_client.hpp"
#include "ftp/listing_parsers.hpp"
#include "remote_folder/remote_tree.hpp"

namespace quill::ftp {

namespace {

// Replies that say a command is not there at all, rather than refused here.
bool isNotImplemented(const EReplyError& refusal) {
    return refusal.code() == 500 || refusal.code() == 502 || refusal.code() == 504;
}

}  // namespace

std::string currentServerFolder(TFTPClient& client) {
    client.SendCommand("PWD", {257});
    const std::string line = client.LastReply().Text.empty() ? std::string() : client.LastReply().Text.front();
    const auto open = line.find('"');
    if (open == std::string::npos) throw EReplyError(257, "Der Server nennt seinen aktuellen Ordner nicht.");
    std::string folder;
    for (std::size_t i = open + 1; i < line.size(); ++i) {
        if (line[i] != '"') {
            folder += line[i];
        } else if (i + 1 < line.size() && line[i + 1] == '"') {
            folder += '"';
            ++i;
        } else {
            return folder.empty() ? "/" : folder;
        }
    }
    throw EReplyError(257, "Der Server nennt seinen aktuellen Ordner nicht.");
}

remote::FolderListing FtpFolderLister::list(TFTPClient& client, const std::string& folder, std::size_t maxBytes) {
    client.ChangeFolder(folder);
    if (!method_) {
        method_ = client.SupportsFeature("MLST") ? Method::Mlsd : Method::List;
        while (true) {
            try {
                return listWith(client, *method_, folder, maxBytes);
            } catch (const EReplyError& refusal) {
                if (!isNotImplemented(refusal) || *method_ == Method::Nlst) throw;
                method_ = *method_ == Method::Mlsd ? Method::List : Method::Nlst;
            }
        }
    }
    return listWith(client, *method_, folder, maxBytes);
}

remote::FolderListing FtpFolderLister::listWith(TFTPClient& client, Method method, const std::string& folder,
                                                std::size_t maxBytes) {
    if (method == Method::Nlst) return listByNames(client, folder, maxBytes);
    remote::FolderListing listing;
    const std::string text = client.ReceiveListing(method == Method::Mlsd ? "MLSD" : "LIST", maxBytes);
    listing.bytes = text.size();
    listing.entries = parseListing(text, method == Method::Mlsd ? ListingFormat::Mlsd : ListingFormat::List);
    return listing;
}

remote::FolderListing FtpFolderLister::listByNames(TFTPClient& client, const std::string& folder,
                                                   std::size_t maxBytes) {
    remote::FolderListing listing;
    std::string text;
    try {
        text = client.ReceiveListing("NLST", maxBytes);
    } catch (const EReplyError& refusal) {
        // Many servers answer a bare name list of an empty folder so.
        if (refusal.code() != 450 && refusal.code() != 550) throw;
    }
    listing.bytes = text.size();
    // Names only: a name is a folder when the server lets us change into it.
    for (const std::string& line : splitLines(text)) {
        std::string name = line;
        // Some servers answer NLST with paths below the folder.
        if (name.rfind("./", 0) == 0) name.erase(0, 2);
        if (name.empty() || name == "." || name == "..") continue;
        if (!remote::isSafeListedName(name)) throw remote::EUnsafeListedName(name);
        remote::RemoteEntry entry;
        entry.name = std::move(name);
        entry.kind = remote::RemoteEntry::Kind::File;
        try {
            client.ChangeFolder(remote::serverPathOf(folder, entry.name));
            entry.kind = remote::RemoteEntry::Kind::Folder;
            client.ChangeFolder(folder);
        } catch (const EReplyError& refusal) {
            if (refusal.code() != 550 && refusal.code() != 553 && refusal.code() != 450) throw;
        }
        listing.entries.push_back(std::move(entry));
    }
    return listing;
}

}  // namespace quill::ftp
