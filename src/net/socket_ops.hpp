#pragma once

#include <netinet/in.h>
#include <sys/types.h>

#include <cstddef>
#include <functional>
#include <string_view>

namespace quill::ftp {

// Every platform socket call of the client goes through here, so a test can
// make one fail on purpose or watch the order of the calls.
enum class SocketCall { Resolve, Create, Bind, Connect, Listen, Accept, Send, Receive };

// Returns 0 to let the call go on, or the errno value it fails with (for
// Resolve: a getaddrinfo code). For Send, detail holds the bytes to send.
using SocketFaultHook = std::function<int(SocketCall call, std::string_view detail)>;

// Installed by tests only; an empty hook (the default) changes nothing.
void setSocketFaultHook(SocketFaultHook hook);

namespace socket_ops {

// Each returns what the platform call returns; failures leave errno set.
// resolveName returns 0 or a getaddrinfo code.
int resolveName(const char* host, in_addr& address);
int createStreamSocket();
int bindSocket(int fd, const sockaddr_in& address);
int connectSocket(int fd, const sockaddr_in& address);
int listenSocket(int fd, int backlog);
int acceptSocket(int fd);
ssize_t sendSome(int fd, const char* data, std::size_t size);
ssize_t receiveSome(int fd, char* data, std::size_t size);
// Without waiting: fails with EAGAIN when nothing is there.
ssize_t receiveNow(int fd, char* data, std::size_t size);

}  // namespace socket_ops

}  // namespace quill::ftp
