#include "ftp/one_time_password.hpp"

#include <nettle/nettle-meta.h>

#include <array>
#include <vector>

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

const nettle_hash& algorithmOf(OtpHash hash) {
    switch (hash) {
        case OtpHash::MD4:
            return nettle_md4;
        case OtpHash::MD5:
            return nettle_md5;
        case OtpHash::SHA1:
            break;
    }
    return nettle_sha1;
}

std::vector<std::uint8_t> digestOf(const nettle_hash& algorithm, const std::uint8_t* data, std::size_t size) {
    std::vector<std::uint8_t> context(algorithm.context_size);
    algorithm.init(context.data());
    algorithm.update(context.data(), size, data);
    std::vector<std::uint8_t> digest(algorithm.digest_size);
    algorithm.digest(context.data(), digest.size(), digest.data());
    return digest;
}

// Hashes the bytes and folds the digest to 64 bits the way each algorithm's
// reference code does (SHA-1 folds 32-bit words and stores them low byte first).
Key hashAndFold(OtpHash hash, const std::uint8_t* data, std::size_t size) {
    const std::vector<std::uint8_t> digest = digestOf(algorithmOf(hash), data, size);
    Key key{};
    if (hash == OtpHash::SHA1) {
        const std::uint32_t first = bigEndianWord(&digest[0]) ^ bigEndianWord(&digest[8]) ^ bigEndianWord(&digest[16]);
        const std::uint32_t second = bigEndianWord(&digest[4]) ^ bigEndianWord(&digest[12]);
        putLittleEndianWord(first, &key[0]);
        putLittleEndianWord(second, &key[4]);
    } else {
        for (std::size_t i = 0; i < key.size(); ++i) key[i] = digest[i] ^ digest[i + 8];
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
