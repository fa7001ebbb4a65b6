#include "net/tcp_socket.hpp"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <utility>

#include "net/ftp_errors.hpp"
#include "net/socket_ops.hpp"
#include "net/winsock_errors.hpp"
#include "text/cp1252.hpp"

namespace quill::ftp {

namespace {

using Clock = std::chrono::steady_clock;

// Four decimal fields of 0-255 separated by dots, nothing else.
bool parseDottedQuad(const std::string& text, in_addr& address) {
    std::uint32_t value = 0;
    std::size_t pos = 0;
    for (int field = 0; field < 4; ++field) {
        if (field > 0) {
            if (pos >= text.size() || text[pos] != '.') return false;
            ++pos;
        }
        const std::size_t start = pos;
        unsigned number = 0;
        while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9' && pos - start < 3) {
            number = number * 10 + static_cast<unsigned>(text[pos] - '0');
            ++pos;
        }
        if (pos == start || number > 255) return false;
        value = (value << 8) | number;
    }
    if (pos != text.size()) return false;
    address.s_addr = htonl(value);
    return true;
}

sockaddr_in makeAddress(const std::string& host, std::uint16_t port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    if (host.empty()) {
        address.sin_addr.s_addr = htonl(INADDR_ANY);
    } else if (!parseDottedQuad(host, address.sin_addr)) {
        raiseSocketError(10022);
    }
    return address;
}

SocketAddress toSocketAddress(const sockaddr_in& address) {
    char text[INET_ADDRSTRLEN] = {};
    ::inet_ntop(AF_INET, &address.sin_addr, text, sizeof text);
    return {text, ntohs(address.sin_port)};
}

// poll with a limit (kWaitForever: none), resumed after signals. Returns
// the number of ready entries, 0 when the limit passed.
int pollWithin(pollfd* entries, nfds_t count, int timeoutMs) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (true) {
        int wait = -1;
        if (timeoutMs != kWaitForever) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
            wait = left > 0 ? static_cast<int>(left) : 0;
        }
        const int ready = ::poll(entries, count, wait);
        if (ready >= 0) return ready;
        if (errno != EINTR) raiseErrno(errno);
    }
}

bool waitFor(int fd, short events, int timeoutMs) {
    pollfd entry{fd, events, 0};
    return pollWithin(&entry, 1, timeoutMs) > 0;
}

void setBlocking(int fd, bool blocking) {
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0) raiseErrno(errno);
    const int wanted = blocking ? (flags & ~O_NONBLOCK) : (flags | O_NONBLOCK);
    if (::fcntl(fd, F_SETFL, wanted) < 0) raiseErrno(errno);
}

}  // namespace

std::string resolveHost(const std::string& host) {
    if (toUpper1252(host) == "LOCALHOST") return "127.0.0.1";
    in_addr address{};
    if (parseDottedQuad(host, address)) return host;
    const int result = socket_ops::resolveName(host.c_str(), address);
    if (result != 0) raiseSocketError(winsockErrorFromResolver(result));
    char text[INET_ADDRSTRLEN] = {};
    ::inet_ntop(AF_INET, &address, text, sizeof text);
    return text;
}

TcpSocket::~TcpSocket() {
    close();
}

TcpSocket& TcpSocket::operator=(TcpSocket&& other) noexcept {
    if (this != &other) {
        close();
        fd_ = std::move(other.fd_);
    }
    return *this;
}

TcpSocket TcpSocket::create() {
    const int fd = socket_ops::createStreamSocket();
    if (fd < 0) raiseErrno(errno);
    return TcpSocket(fd);
}

void TcpSocket::setNoDelayOff() {
    const int off = 0;
    if (::setsockopt(fd_.get(), IPPROTO_TCP, TCP_NODELAY, &off, sizeof off) != 0) raiseErrno(errno);
}

void TcpSocket::bind(const std::string& address, std::uint16_t port) {
    const sockaddr_in local = makeAddress(address, port);
    if (socket_ops::bindSocket(fd_.get(), local) != 0) throw ECouldNotBindSocket();
}

void TcpSocket::connect(const std::string& address, std::uint16_t port, int timeoutMs) {
    const sockaddr_in remote = makeAddress(address, port);
    setBlocking(fd_.get(), false);
    if (socket_ops::connectSocket(fd_.get(), remote) != 0) {
        if (errno != EINPROGRESS && errno != EINTR) raiseErrno(errno);
        if (!waitFor(fd_.get(), POLLOUT, timeoutMs)) {
            close();
            throw EConnectTimeout();
        }
        int failure = 0;
        socklen_t length = sizeof failure;
        if (::getsockopt(fd_.get(), SOL_SOCKET, SO_ERROR, &failure, &length) != 0) raiseErrno(errno);
        if (failure != 0) raiseErrno(failure);
    }
    setBlocking(fd_.get(), true);
}

void TcpSocket::listen(int backlog) {
    if (socket_ops::listenSocket(fd_.get(), backlog) != 0) raiseErrno(errno);
}

TcpSocket TcpSocket::accept() {
    const int fd = socket_ops::acceptSocket(fd_.get());
    if (fd < 0) raiseErrno(errno);
    return TcpSocket(fd);
}

SocketAddress TcpSocket::localAddress() const {
    sockaddr_in address{};
    socklen_t length = sizeof address;
    if (::getsockname(fd_.get(), reinterpret_cast<sockaddr*>(&address), &length) != 0) raiseErrno(errno);
    return toSocketAddress(address);
}

SocketAddress TcpSocket::peerAddress() const {
    sockaddr_in address{};
    socklen_t length = sizeof address;
    if (::getpeername(fd_.get(), reinterpret_cast<sockaddr*>(&address), &length) != 0) raiseErrno(errno);
    return toSocketAddress(address);
}

bool TcpSocket::sendAll(std::string_view bytes, int timeoutMs) {
    try {
        while (!bytes.empty()) {
            const std::size_t sent = sendSome(bytes, timeoutMs);
            if (sent == 0) raiseSocketError(kWsaTimedOut);
            bytes.remove_prefix(sent);
        }
    } catch (const EConnClosedGracefully&) {
        return false;
    }
    return true;
}

std::size_t TcpSocket::sendSome(std::string_view bytes, int timeoutMs) {
    if (!fd_.valid()) raiseSocketError(kWsaNotASocket);
    while (true) {
        const auto sent = socket_ops::sendSome(fd_.get(), bytes.data(), bytes.size());
        if (sent > 0) return static_cast<std::size_t>(sent);
        if (sent == 0) throw EConnClosedGracefully();
        if (errno == EAGAIN || errno == EWOULDBLOCK) {
            if (!waitFor(fd_.get(), POLLOUT, timeoutMs)) return 0;
        } else if (errno != EINTR) {
            raiseErrno(errno);
        }
    }
}

int waitEitherReadable(const TcpSocket& first, const TcpSocket& second, int timeoutMs) {
    if (!first.isOpen()) raiseSocketError(kWsaNotASocket);
    pollfd entries[2] = {{first.fd_.get(), POLLIN, 0}, {second.isOpen() ? second.fd_.get() : -1, POLLIN, 0}};
    if (pollWithin(entries, 2, timeoutMs) == 0) return 0;
    return entries[0].revents != 0 ? 1 : 2;
}

bool TcpSocket::waitReadable(int timeoutMs) const {
    if (!fd_.valid()) raiseSocketError(kWsaNotASocket);
    return waitFor(fd_.get(), POLLIN, timeoutMs);
}

bool TcpSocket::readableNow() const {
    if (!fd_.valid()) raiseSocketError(kWsaNotASocket);
    pollfd entry{fd_.get(), POLLIN, 0};
    return ::poll(&entry, 1, 0) > 0;
}

std::size_t TcpSocket::receive(char* data, std::size_t size) {
    if (!fd_.valid()) raiseSocketError(kWsaNotASocket);
    while (true) {
        const auto got = socket_ops::receiveSome(fd_.get(), data, size);
        if (got >= 0) return static_cast<std::size_t>(got);
        if (errno != EINTR) raiseErrno(errno);
    }
}

std::size_t TcpSocket::receive(char* data, std::size_t size, ReceiveBound& bound) {
    if (!fd_.valid()) raiseSocketError(kWsaNotASocket);
    // What is there is taken at once; only an empty socket is waited on.
    while (true) {
        const auto got = socket_ops::receiveNow(fd_.get(), data, size);
        if (got >= 0) {
            bound.arrived(static_cast<std::size_t>(got));
            return static_cast<std::size_t>(got);
        }
        if (errno == EAGAIN || errno == EWOULDBLOCK) {
            waitFor(fd_.get(), POLLIN, bound.nextWaitMs());
        } else if (errno != EINTR) {
            raiseErrno(errno);
        }
    }
}

void TcpSocket::shutdownSending() {
    if (fd_.valid()) ::shutdown(fd_.get(), SHUT_WR);
}

void TcpSocket::drainUntilPeerCloses(int timeoutMs) {
    if (!fd_.valid()) return;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    char sink[16384];
    while (true) {
        int wait = kWaitForever;
        if (timeoutMs != kWaitForever) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
            if (left <= 0) return;
            wait = static_cast<int>(left);
        }
        if (!waitFor(fd_.get(), POLLIN, wait)) return;
        const auto got = socket_ops::receiveSome(fd_.get(), sink, sizeof sink);
        if (got == 0 || (got < 0 && errno != EINTR)) return;
    }
}

void TcpSocket::close() {
    if (!fd_.valid()) return;
    ::shutdown(fd_.get(), SHUT_WR);
    fd_.reset();
}

}  // namespace quill::ftp
