#pragma once

#include <cstddef>
#include <string>

namespace quill::ftp {

// A name list is held whole, so a server must not make it, or one name in
// it, grow without end.
inline constexpr std::size_t kMaxListingBytes = std::size_t{64} << 20;
inline constexpr std::size_t kMaxNameBytes = 4096;

// Checks a growing listing after each piece appended to it; raises
// EListingTooLarge or ENameTooLong.
class ListingLimits {
public:
    void check(const std::string& listing, std::size_t appended);

private:
    std::size_t lineStart_ = 0;
};

}  // namespace quill::ftp
