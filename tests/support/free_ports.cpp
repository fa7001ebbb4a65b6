#include "support/free_ports.hpp"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <random>
#include <stdexcept>
#include <string>
#include <thread>

namespace quill::test {

namespace {

sockaddr_in loopback(std::uint16_t port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

// Binds to the port (0: any) and returns the port bound, or 0.
std::uint16_t bindable(std::uint16_t port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return 0;
    sockaddr_in address = loopback(port);
    std::uint16_t bound = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
        socklen_t length = sizeof address;
        if (::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0) bound = ntohs(address.sin_port);
    }
    ::close(fd);
    return bound;
}

}  // namespace

std::uint16_t freeLoopbackPortRange(int count) {
    std::mt19937 random(std::random_device{}());
    std::uniform_int_distribution<int> base(20000, 30000);
    for (int attempt = 0; attempt < 200; ++attempt) {
        const int first = base(random);
        bool allFree = true;
        for (int i = 0; i < count && allFree; ++i) allFree = bindable(static_cast<std::uint16_t>(first + i)) != 0;
        if (allFree) return static_cast<std::uint16_t>(first);
    }
    throw std::runtime_error("no free port range");
}

bool waitForGreeting(std::uint16_t port, int timeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < deadline) {
        const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (fd < 0) return false;
        sockaddr_in address = loopback(port);
        if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
            pollfd entry{fd, POLLIN, 0};
            char byte = 0;
            const bool spoke = ::poll(&entry, 1, 2000) > 0 && ::recv(fd, &byte, 1, 0) == 1;
            ::close(fd);
            if (spoke) return true;
        } else {
            ::close(fd);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}

}  // namespace quill::test
