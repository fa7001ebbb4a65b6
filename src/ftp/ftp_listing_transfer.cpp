// TFTPClient::ReceiveListing: a listing command's bytes, bounded.
#include "ftp/ftp_client.hpp"
#include "remote_folder/remote_folder.hpp"

namespace quill::ftp {

std::string TFTPClient::ReceiveListing(const std::string& commandLine, std::size_t maxBytes) {
    return receiveText(commandLine, [maxBytes](const std::string& text, std::size_t) {
        if (text.size() > maxBytes) throw remote::EListingOverBudget();
    });
}

}  // namespace quill::ftp
