#pragma once

#include <cstdint>

#include "remote_folder/remote_folder.hpp"
#include "sftp/sftp_client.hpp"

namespace quill::sftp {

// A server folder over SFTP, as the remote run sees every server. A rename
// over an existing page keeps the page's permissions; links are listed as
// links and never followed.
class SftpRemoteFolder : public remote::RemoteFolder {
public:
    explicit SftpRemoteFolder(std::uint16_t port = 22) { client_.Port = port; }

    void connect(const remote::RemoteLogin& login) override;
    bool connected() override { return client_.Connected(); }
    void disconnect() override { client_.Disconnect(); }
    void changeFolder(const std::string& folder) override { client_.ChangeFolder(folder); }
    void list(const std::string& mask, const std::function<void(remote::RemoteEntry&& entry)>& each) override;
    std::string currentFolder() override { return client_.CurrentFolder(); }
    remote::FolderListing listFolder(const std::string& folder, std::size_t maxBytes) override;
    void download(const std::string& name, const std::string& localPath) override;
    void upload(const std::string& localPath, const std::string& name) override;
    remote::RenameResult rename(const std::string& from, const std::string& to) override;
    bool remove(const std::string& name) override;

    // For tests and front ends that tune the bounds.
    SftpClient& client() { return client_; }

private:
    SftpClient client_;
};

}  // namespace quill::sftp
