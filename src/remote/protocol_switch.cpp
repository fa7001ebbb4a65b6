#include "remote/protocol_switch.hpp"

#include "ftp/ftp_client.hpp"
#include "net/ftp_errors.hpp"
#include "remote/server_address.hpp"
#include "sftp/sftp_remote_folder.hpp"

namespace quill::remote {

void ProtocolSwitch::connect(const RemoteLogin& login) {
    const ftp::ServerAddress address = ftp::parseServerAddress(login.host);
    const std::uint16_t port = address.portGiven || port_ == 0 ? address.port : port_;
    if (active_) active_->disconnect();
    if (address.protocol == ftp::RemoteProtocol::Sftp) {
        active_ = std::make_unique<sftp::SftpRemoteFolder>(port);
    } else {
        auto client = std::make_unique<ftp::TFTPClient>();
        client->Port = port;
        active_ = std::move(client);
    }
    // Its transfers are this folder's: whoever listens here hears them.
    active_->setTransferMeter([this](std::uint64_t done, std::uint64_t size) { reportTransferred(done, size); });
    RemoteLogin plain = login;
    plain.host = address.host;
    active_->connect(plain);
}

RemoteFolder& ProtocolSwitch::active() {
    if (!active_) throw ftp::ENotConnected();
    return *active_;
}

}  // namespace quill::remote
