#include "sftp/posix_rename.hpp"

#include <cstdint>
#include <string_view>

namespace quill::sftp {

namespace {

constexpr std::uint8_t kExtendedRequest = 200;
constexpr std::uint8_t kStatusReply = 101;
// Outside the library's own request numbers, which count up from 0.
constexpr std::uint32_t kRequestId = 0xFFFFFF01u;
// A status reply is small; anything longer is not one.
constexpr std::uint32_t kMaxReplyBytes = 65536;

void putNumber(std::string& packet, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) packet += static_cast<char>((value >> shift) & 0xFF);
}

void putText(std::string& packet, std::string_view text) {
    putNumber(packet, static_cast<std::uint32_t>(text.size()));
    packet += text;
}

std::uint32_t numberAt(const std::string& bytes, std::size_t at) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i) value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

bool readExactly(ssh_channel channel, std::string& into, std::size_t size) {
    into.assign(size, '\0');
    for (std::size_t done = 0; done < size;) {
        const int got = ssh_channel_read(channel, into.data() + done, static_cast<std::uint32_t>(size - done), 0);
        if (got <= 0) return false;
        done += static_cast<std::size_t>(got);
    }
    return true;
}

}  // namespace

int posixRename(sftp_session sftp, const std::string& from, const std::string& to) {
    std::string body;
    body += static_cast<char>(kExtendedRequest);
    putNumber(body, kRequestId);
    putText(body, kPosixRenameExtension);
    putText(body, from);
    putText(body, to);
    std::string packet;
    putNumber(packet, static_cast<std::uint32_t>(body.size()));
    packet += body;
    if (ssh_channel_write(sftp->channel, packet.data(), static_cast<std::uint32_t>(packet.size())) !=
        static_cast<int>(packet.size()))
        return -1;

    std::string length;
    if (!readExactly(sftp->channel, length, 4)) return -1;
    const std::uint32_t size = numberAt(length, 0);
    std::string reply;
    if (size < 9 || size > kMaxReplyBytes || !readExactly(sftp->channel, reply, size)) return -1;
    if (static_cast<std::uint8_t>(reply[0]) != kStatusReply || numberAt(reply, 1) != kRequestId) return -1;
    return static_cast<int>(numberAt(reply, 5));
}

}  // namespace quill::sftp
