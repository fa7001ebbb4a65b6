#pragma once

#include <cstdint>
#include <memory>

#include "remote_folder/remote_folder.hpp"

namespace quill::remote {

// A server folder reached by the protocol the server field names: each
// connect reads "sftp://host[:port]", "ftp://host[:port]" or a plain name
// and hands everything after to the client of that protocol. The port given
// here (0: the protocol's own) counts where the field names none.
class ProtocolSwitch : public RemoteFolder {
public:
    explicit ProtocolSwitch(std::uint16_t port = 0) : port_(port) {}

    void connect(const RemoteLogin& login) override;
    bool connected() override { return active_ && active_->connected(); }
    void disconnect() override {
        if (active_) active_->disconnect();
    }
    void changeFolder(const std::string& folder) override { active().changeFolder(folder); }
    void list(const std::string& mask, const std::function<void(RemoteEntry&& entry)>& each) override {
        active().list(mask, each);
    }
    std::string currentFolder() override { return active().currentFolder(); }
    FolderListing listFolder(const std::string& folder, std::size_t maxBytes) override {
        return active().listFolder(folder, maxBytes);
    }
    void download(const std::string& name, const std::string& localPath) override {
        active().download(name, localPath);
    }
    void upload(const std::string& localPath, const std::string& name) override { active().upload(localPath, name); }
    RenameResult rename(const std::string& from, const std::string& to) override { return active().rename(from, to); }
    bool remove(const std::string& name) override { return active().remove(name); }

private:
    RemoteFolder& active();

    std::uint16_t port_;
    std::unique_ptr<RemoteFolder> active_;
};

}  // namespace quill::remote
