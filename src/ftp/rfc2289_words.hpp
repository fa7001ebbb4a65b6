#pragma once

#include <array>

namespace quill::ftp {

// The six-word encoding's dictionary: word i stands for the 11-bit value i.
extern const std::array<const char*, 2048> kOtpWords;

}  // namespace quill::ftp
