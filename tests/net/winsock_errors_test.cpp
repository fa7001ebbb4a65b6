#include "net/winsock_errors.hpp"

#include <gtest/gtest.h>
#include <netdb.h>

#include <cerrno>

#include "net/ftp_errors.hpp"

namespace quill::ftp {
namespace {

struct Mapping {
    int posix;
    int winsock;
    const char* text;
};

TEST(WinsockErrors, MapsPosixNamesToNumbersAndTexts) {
    const Mapping cases[] = {
        {EINTR, 10004, "Interrupted system call."},
        {EACCES, 10013, "Access denied."},
        {EWOULDBLOCK, 10035, "Operation would block."},
        {EINPROGRESS, 10036, "Operation now in progress."},
        {ENOTSOCK, 10038, "Socket operation on non-socket."},
        {EADDRINUSE, 10048, "Address already in use."},
        {EADDRNOTAVAIL, 10049, "Cannot assign requested address."},
        {ENETUNREACH, 10051, "Network is unreachable."},
        {ECONNABORTED, 10053, "Software caused connection abort."},
        {ECONNRESET, 10054, "Connection reset by peer."},
        {EPIPE, 10054, "Connection reset by peer."},
        {ENOTCONN, 10057, "Socket is not connected."},
        {ETIMEDOUT, 10060, "Connection timed out."},
        {ECONNREFUSED, 10061, "Connection refused."},
        {EHOSTUNREACH, 10065, "No route to host."},
        {ENOTEMPTY, 10066, "Directory not empty"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(winsockErrorFromErrno(c.posix), c.winsock) << c.posix;
        EXPECT_EQ(winsockErrorText(c.winsock), c.text) << c.winsock;
    }
}

TEST(WinsockErrors, ResolverFailures) {
    EXPECT_EQ(winsockErrorFromResolver(EAI_NONAME), 11001);
    EXPECT_EQ(winsockErrorText(11001), "Host not found.");
    // Other resolver failures get numbers outside the table, hence no text.
    EXPECT_NE(winsockErrorFromResolver(EAI_AGAIN), 11001);
    EXPECT_EQ(winsockErrorText(winsockErrorFromResolver(EAI_AGAIN)), "");
}

TEST(WinsockErrors, SocketErrorMessageAndClass) {
    const ESocketError refused(10061);
    EXPECT_STREQ(refused.what(), "Socket Error # 10061\r\nConnection refused.");
    EXPECT_EQ(refused.errorCode(), 10061);
    EXPECT_STREQ(ESocketError(12345).what(), "Socket Error # 12345\r\n");

    try {
        raiseSocketError(10038);
        FAIL() << "nothing raised";
    } catch (const ENotASocket& e) {
        EXPECT_STREQ(e.what(), "Socket Error # 10038\r\nSocket operation on non-socket.");
        EXPECT_EQ(e.errorCode(), 10038);
    }
    EXPECT_THROW(raiseErrno(ECONNRESET), ESocketError);
    try {
        raiseErrno(ECONNRESET);
    } catch (const ENotASocket&) {
        FAIL() << "only 10038 is ENotASocket";
    } catch (const ESocketError& e) {
        EXPECT_EQ(e.errorCode(), 10054);
    }
}

}  // namespace
}  // namespace quill::ftp
