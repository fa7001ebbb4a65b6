#include "remote/server_connection.hpp"

#include "ftp/ftp_client.hpp"

namespace quill::remote {

std::unique_ptr<RemoteFolder> serverConnection(std::uint16_t port) {
    auto client = std::make_unique<ftp::TFTPClient>();
    if (port != 0) client->Port = port;
    return client;
}

}  // namespace quill::remote
