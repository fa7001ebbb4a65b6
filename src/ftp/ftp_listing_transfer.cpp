// TFTPClient::ReceiveListing: a listing command's bytes, bounded.
#include "ftp/ftp_client.hpp"
#include "remote_folder/remote_folder.hpp"

namespace quill::ftp {

std::string TFTPClient::ReceiveListing(const std::string& commandLine, std::size_t maxBytes) {
    const TFTPTransferType previous = transferType_;
    SetTransferType(ftASCII);
    std::string listing;
    try {
        receivingTransfer(
            commandLine,
            [&](std::string_view piece) {
                if (piece.size() > maxBytes - listing.size()) throw remote::EListingOverBudget();
                listing.append(piece);
            },
            std::nullopt);
    } catch (const remote::EListingOverBudget&) {
        // The server goes on sending; only a new connection is in a known state.
        Disconnect();
        throw;
    } catch (...) {
        try {
            SetTransferType(previous);
        } catch (const EFTPError&) {
        }
        throw;
    }
    SetTransferType(previous);
    return listing;
}

}  // namespace quill::ftp
