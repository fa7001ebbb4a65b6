#include "net/socket_ops.hpp"

#include <netdb.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace quill::ftp {

namespace {

SocketFaultHook& faultHook() {
    static SocketFaultHook hook;
    return hook;
}

// Returns true when the hook makes the call fail; errno is then set.
bool injected(SocketCall call, std::string_view detail = {}) {
    const auto& hook = faultHook();
    if (!hook) return false;
    const int fault = hook(call, detail);
    if (fault == 0) return false;
    errno = fault;
    return true;
}

}  // namespace

void setSocketFaultHook(SocketFaultHook hook) {
    faultHook() = std::move(hook);
}

namespace socket_ops {

int resolveName(const char* host, in_addr& address) {
    if (faultHook()) {
        const int fault = faultHook()(SocketCall::Resolve, host);
        if (fault != 0) return fault;
    }
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    const int result = ::getaddrinfo(host, nullptr, &hints, &found);
    if (result != 0) return result;
    int answer = EAI_NONAME;
    for (const addrinfo* entry = found; entry != nullptr; entry = entry->ai_next) {
        if (entry->ai_family == AF_INET) {
            address = reinterpret_cast<const sockaddr_in*>(entry->ai_addr)->sin_addr;
            answer = 0;
            break;
        }
    }
    ::freeaddrinfo(found);
    return answer;
}

int createStreamSocket() {
    if (injected(SocketCall::Create)) return -1;
    return ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, IPPROTO_TCP);
}

int bindSocket(int fd, const sockaddr_in& address) {
    if (injected(SocketCall::Bind)) return -1;
    return ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address);
}

int connectSocket(int fd, const sockaddr_in& address) {
    if (injected(SocketCall::Connect)) return -1;
    return ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address);
}

int listenSocket(int fd, int backlog) {
    if (injected(SocketCall::Listen)) return -1;
    return ::listen(fd, backlog);
}

int acceptSocket(int fd) {
    if (injected(SocketCall::Accept)) return -1;
    return ::accept4(fd, nullptr, nullptr, SOCK_CLOEXEC);
}

ssize_t sendSome(int fd, const char* data, std::size_t size) {
    if (injected(SocketCall::Send, std::string_view(data, size))) return -1;
    // A peer that went away must give an error, not end the process; the
    // caller waits for room itself, so the wait stays bounded.
    return ::send(fd, data, size, MSG_NOSIGNAL | MSG_DONTWAIT);
}

ssize_t receiveSome(int fd, char* data, std::size_t size) {
    if (injected(SocketCall::Receive)) return -1;
    return ::recv(fd, data, size, 0);
}

ssize_t receiveNow(int fd, char* data, std::size_t size) {
    if (injected(SocketCall::Receive)) return -1;
    return ::recv(fd, data, size, MSG_DONTWAIT);
}

}  // namespace socket_ops

}  // namespace quill::ftp
