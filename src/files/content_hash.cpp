#include "files/content_hash.hpp"

#include <nettle/sha2.h>

#include <cstdint>

#include "text/hex_text.hpp"

namespace quill {

std::string sha256Hex(std::string_view bytes) {
    sha256_ctx context;
    sha256_init(&context);
    sha256_update(&context, bytes.size(), reinterpret_cast<const std::uint8_t*>(bytes.data()));
    std::uint8_t digest[SHA256_DIGEST_SIZE];
    sha256_digest(&context, sizeof digest, digest);
    return hexText(digest, sizeof digest, HexLetters::Lower);
}

}  // namespace quill
