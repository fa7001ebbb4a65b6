#include "ftp/listing_limits.hpp"

#include "net/ftp_errors.hpp"

namespace quill::ftp {

void ListingLimits::check(const std::string& listing, std::size_t appended) {
    if (listing.size() > bytesLeft_) throw EListingTooLarge(kMaxListingBytes);
    for (std::size_t i = listing.size() - appended; i < listing.size(); ++i) {
        if (listing[i] == '\r' || listing[i] == '\n') lineStart_ = i + 1;
    }
    if (listing.size() - lineStart_ > kMaxNameBytes) throw ENameTooLong(listing.substr(lineStart_), kMaxNameBytes);
}

}  // namespace quill::ftp
