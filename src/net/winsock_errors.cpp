#include "net/winsock_errors.hpp"

#include <netdb.h>

#include <array>
#include <cerrno>

namespace quill::ftp {

namespace {

struct ErrorEntry {
    int winsock;
    int posix;
    const char* text;
};

constexpr std::array<ErrorEntry, 39> kErrors{{
    {10004, EINTR, "Interrupted system call."},
    {10009, EBADF, "Bad file number."},
    {10013, EACCES, "Access denied."},
    {10014, EFAULT, "Buffer fault."},
    {10022, EINVAL, "Invalid argument."},
    {10024, EMFILE, "Too many open files."},
    {10035, EWOULDBLOCK, "Operation would block."},
    {10036, EINPROGRESS, "Operation now in progress."},
    {10037, EALREADY, "Operation already in progress."},
    {10038, ENOTSOCK, "Socket operation on non-socket."},
    {10039, EDESTADDRREQ, "Destination address required."},
    {10040, EMSGSIZE, "Message too long."},
    {10041, EPROTOTYPE, "Protocol wrong type for socket."},
    {10042, ENOPROTOOPT, "Bad protocol option."},
    {10043, EPROTONOSUPPORT, "Protocol not supported."},
    {10044, ESOCKTNOSUPPORT, "Socket type not supported."},
    {10045, EOPNOTSUPP, "Operation not supported on socket."},
    {10046, EPFNOSUPPORT, "Protocol family not supported."},
    {10047, EAFNOSUPPORT, "Address family not supported by protocol family."},
    {10048, EADDRINUSE, "Address already in use."},
    {10049, EADDRNOTAVAIL, "Cannot assign requested address."},
    {10050, ENETDOWN, "Network is down."},
    {10051, ENETUNREACH, "Network is unreachable."},
    {10052, ENETRESET, "Net dropped connection or reset."},
    {10053, ECONNABORTED, "Software caused connection abort."},
    {10054, ECONNRESET, "Connection reset by peer."},
    {10055, ENOBUFS, "No buffer space available."},
    {10056, EISCONN, "Socket is already connected."},
    {10057, ENOTCONN, "Socket is not connected."},
    {10058, ESHUTDOWN, "Cannot send or receive after socket is closed."},
    {10059, ETOOMANYREFS, "Too many references, cannot splice."},
    {10060, ETIMEDOUT, "Connection timed out."},
    {10061, ECONNREFUSED, "Connection refused."},
    {10062, ELOOP, "Too many levels of symbolic links."},
    {10063, ENAMETOOLONG, "File name too long."},
    {10064, EHOSTDOWN, "Host is down."},
    {10065, EHOSTUNREACH, "No route to host."},
    {10066, ENOTEMPTY, "Directory not empty"},
    {kWsaHostNotFound, 0, "Host not found."},
}};

}  // namespace

int winsockErrorFromErrno(int errorNumber) {
    // Linux reports a write to a reset connection as EPIPE; the desktop
    // stack calls that a reset.
    if (errorNumber == EPIPE) return 10054;
    if (errorNumber == EAGAIN) return 10035;  // may differ from EWOULDBLOCK elsewhere
    for (const auto& entry : kErrors) {
        if (entry.posix == errorNumber && entry.posix != 0) return entry.winsock;
    }
    return errorNumber;
}

int winsockErrorFromResolver(int resolverError) {
    switch (resolverError) {
        case EAI_NONAME:
#ifdef EAI_NODATA
        case EAI_NODATA:
#endif
#ifdef EAI_ADDRFAMILY
        case EAI_ADDRFAMILY:
#endif
            return kWsaHostNotFound;
        case EAI_AGAIN:
            return 11002;  // temporary failure: numbers without a text
        case EAI_MEMORY:
            return 10055;
        default:
            return 11003;
    }
}

std::string winsockErrorText(int winsockError) {
    for (const auto& entry : kErrors) {
        if (entry.winsock == winsockError) return entry.text;
    }
    return {};
}

}  // namespace quill::ftp
