#include "remote/server_connection.hpp"

#include "remote/protocol_switch.hpp"

namespace quill::remote {

std::unique_ptr<RemoteFolder> serverConnection(std::uint16_t port) {
    return std::make_unique<ProtocolSwitch>(port);
}

}  // namespace quill::remote
