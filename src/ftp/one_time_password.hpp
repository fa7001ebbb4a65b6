#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quill::ftp {

enum class OtpHash { MD4, MD5, SHA1 };

// A one-time-password challenge found in a server's 331 text.
struct OtpChallenge {
    OtpHash hash = OtpHash::MD5;
    int sequence = 0;
    std::string seed;
};

// Finds "otp-md4 ", "otp-md5 " or "otp-sha1 " followed by the sequence number
// and the seed (ending at a blank, CR or LF).
std::optional<OtpChallenge> findOtpChallenge(std::string_view text);

// The one-time password for the seed (lower-cased) and pass phrase after
// `sequence` further hash steps, as six dictionary words separated by blanks.
std::string oneTimePassword(OtpHash hash, int sequence, std::string_view seed, std::string_view passPhrase);

// The 64-bit key written as six words (with its two-bit checksum).
std::string otpSixWords(std::uint64_t key);

}  // namespace quill::ftp
