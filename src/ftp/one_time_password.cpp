#include "ftp/one_time_password.hpp"

#include <nettle/md4.h>
#include <nettle/md5.h>
#include <nettle/sha1.h>

#include <array>

#include "ftp/rfc2289_words.hpp"

namespace quill::ftp {

namespace {

using Key = std::array<std::uint8_t, 8>;

std::uint32_t bigEndianWord(const std::uint8_t* bytes) {
    return (std::uint32_t{bytes[0]} << 24) | (std::uint32_t{bytes[1]} << 16) | (std::uint32_t{bytes[2]} << 8) |
           std::uint32_t{bytes[3]};
}

void putLittleEndianWord(std::uint32_t word, std::uint8_t* bytes) {
    for (int i = 0; i < 4; ++i) bytes[i] = static_cast<std::uint8_t>(word >> (8 * i));
}

// Hashes the bytes and folds the digest to 64 bits the way each algorithm's
// reference code does (SHA-1 folds 32-bit words and stores them low byte first).
Key hashAndFold(OtpHash hash, const std::uint8_t* data, std::size_t size) {
    Key key{};
    switch (hash) {
        case OtpHash::MD4: {
            md4_ctx context;
            md4_init(&context);
            md4_update(&context, size, data);
            std::array<std::uint8_t, MD4_DIGEST_SIZE> digest{};
            md4_digest(&context, digest.size(), digest.data());
            for (std::size_t i = 0; i < 8; ++i) key[i] = digest[i] ^ digest[i + 8];
            break;
        }
        case OtpHash::MD5: {
            md5_ctx context;
            md5_init(&context);
            md5_update(&context, size, data);
            std::array<std::uint8_t, MD5_DIGEST_SIZE> digest{};
            md5_digest(&context, digest.size(), digest.data());
            for (std::size_t i = 0; i < 8; ++i) key[i] = digest[i] ^ digest[i + 8];
            break;
        }
        case OtpHash::SHA1: {
            sha1_ctx context;
            sha1_init(&context);
            sha1_update(&context, size, data);
            std::array<std::uint8_t, SHA1_DIGEST_SIZE> digest{};
            sha1_digest(&context, digest.size(), digest.data());
            const std::uint32_t first =
                bigEndianWord(&digest[0]) ^ bigEndianWord(&digest[8]) ^ bigEndianWord(&digest[16]);
            const std::uint32_t second = bigEndianWord(&digest[4]) ^ bigEndianWord(&digest[12]);
            putLittleEndianWord(first, &key[0]);
            putLittleEndianWord(second, &key[4]);
            break;
        }
    }
    return key;
}

bool isSeedEnd(char byte) {
    return byte == ' ' || byte == '\r' || byte == '\n';
}

char lowerAscii(char byte) {
    return byte >= 'A' && byte <= 'Z' ? static_cast<char>(byte - 'A' + 'a') : byte;
}

}  // namespace

std::optional<OtpChallenge> findOtpChallenge(std::string_view text) {
    struct Name {
        std::string_view text;
        OtpHash hash;
    };
    constexpr std::array<Name, 3> kNames{
        {{"otp-md4 ", OtpHash::MD4}, {"otp-md5 ", OtpHash::MD5}, {"otp-sha1 ", OtpHash::SHA1}}};
    for (const auto& name : kNames) {
        const auto found = text.find(name.text);
        if (found == std::string_view::npos) continue;
        std::size_t pos = found + name.text.size();
        OtpChallenge challenge;
        challenge.hash = name.hash;
        const std::size_t digits = pos;
        long sequence = 0;
        while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
            // Sequence numbers stay far below this; a longer run is no challenge.
            if (sequence > 9999999) return std::nullopt;
            sequence = sequence * 10 + (text[pos] - '0');
            ++pos;
        }
        if (pos == digits || pos >= text.size() || text[pos] != ' ') return std::nullopt;
        ++pos;
        const std::size_t seedStart = pos;
        while (pos < text.size() && !isSeedEnd(text[pos])) ++pos;
        challenge.sequence = static_cast<int>(sequence);
        challenge.seed = std::string(text.substr(seedStart, pos - seedStart));
        return challenge;
    }
    return std::nullopt;
}

std::string oneTimePassword(OtpHash hash, int sequence, std::string_view seed, std::string_view passPhrase) {
    std::string input;
    for (char byte : seed) input += lowerAscii(byte);
    input += passPhrase;
    Key key = hashAndFold(hash, reinterpret_cast<const std::uint8_t*>(input.data()), input.size());
    for (int step = 0; step < sequence; ++step) key = hashAndFold(hash, key.data(), key.size());
    std::uint64_t value = 0;
    for (std::uint8_t byte : key) value = (value << 8) | byte;
    return otpSixWords(value);
}

std::string otpSixWords(std::uint64_t key) {
    unsigned checksum = 0;
    for (int shift = 0; shift < 64; shift += 2) checksum += static_cast<unsigned>((key >> shift) & 3);
    // 66 bits: the key followed by the checksum's two low bits.
    std::string words;
    for (int word = 0; word < 6; ++word) {
        const int firstBit = word * 11;  // counted from the most significant bit
        unsigned index = 0;
        for (int bit = firstBit; bit < firstBit + 11; ++bit) {
            const unsigned value =
                bit < 64 ? static_cast<unsigned>((key >> (63 - bit)) & 1) : (checksum >> (65 - bit)) & 1;
            index = (index << 1) | value;
        }
        if (!words.empty()) words += ' ';
        words += kOtpWords[index];
    }
    return words;
}

}  // namespace quill::ftp
