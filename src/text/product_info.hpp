#pragma once

#include <string_view>

namespace quill {

// The product's own web site: named on the link page and opened from the about window.
inline constexpr std::string_view kProductWebAddress = "https://www.quillmaskerade.de";

}  // namespace quill
