#pragma once

#include <cstddef>
#include <string>

namespace quill::ftp {

// A name list is held whole, so a server must not make it, or one name in
// it, grow without end.
inline constexpr std::size_t kMaxListingBytes = std::size_t{64} << 20;
inline constexpr std::size_t kMaxNameBytes = 4096;

// Checks a growing listing after each piece appended to it; raises
// EListingTooLarge or ENameTooLong. bytesLeft is what the listings of the
// whole connection may still take: every mask's list draws from one bound.
class ListingLimits {
public:
    explicit ListingLimits(std::size_t bytesLeft = kMaxListingBytes) : bytesLeft_(bytesLeft) {}
    void check(const std::string& listing, std::size_t appended);

private:
    std::size_t bytesLeft_;
    std::size_t lineStart_ = 0;
};

}  // namespace quill::ftp
