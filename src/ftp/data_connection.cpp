#include "ftp/data_connection.hpp"

#include <algorithm>
#include <chrono>
#include <string>

#include "ftp/ftp_errors.hpp"

namespace quill::ftp {

namespace {

constexpr int kAcceptRoundMs = 1000;
constexpr int kListenBacklog = 15;

}  // namespace

void DataConnection::connect(const SocketAddress& target, int connectTimeoutMs) {
    socket_ = TcpSocket::create();
    socket_.bind("", 0);
    socket_.setNoDelayOff();
    socket_.connect(resolveHost(target.host), target.port, connectTimeoutMs);
}

SocketAddress DataConnection::listen(const std::string& localAddress) {
    listener_ = TcpSocket::create();
    listener_.bind(localAddress, 0);
    listener_.setNoDelayOff();
    listener_.listen(kListenBacklog);
    return listener_.localAddress();
}

void DataConnection::acceptServer(int limitMs) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(limitMs);
    try {
        while (true) {
            int round = kAcceptRoundMs;
            if (limitMs != kWaitForever) {
                const auto left =
                    std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
                if (left <= 0) break;
                round = static_cast<int>(std::min<long long>(left, kAcceptRoundMs));
            }
            if (listener_.waitReadable(round)) {
                socket_ = listener_.accept();
                socket_.setNoDelayOff();
                break;
            }
        }
    } catch (const EFTPError&) {
        // The final reply tells what went wrong on the server's side.
        socket_.close();
    }
    listener_.close();
}

void DataConnection::receiveAll(const std::function<void(std::string_view)>& sink, std::size_t pieceSize,
                                int timeoutMs) {
    if (!socket_.isOpen()) return;
    std::string piece(std::max<std::size_t>(pieceSize, 1), '\0');
    std::size_t filled = 0;
    while (true) {
        if (!socket_.waitReadable(timeoutMs)) throw EReadTimeout();
        const std::size_t got = socket_.receive(piece.data() + filled, piece.size() - filled);
        if (got == 0) break;
        filled += got;
        if (filled == piece.size()) {
            sink(piece);
            filled = 0;
        }
    }
    if (filled > 0) sink(std::string_view(piece).substr(0, filled));
}

void DataConnection::send(std::string_view piece, int timeoutMs) {
    if (!socket_.isOpen()) throw EConnClosedGracefully();
    if (!socket_.sendAll(piece, timeoutMs)) throw EConnClosedGracefully();
}

void DataConnection::close() {
    socket_.close();
    listener_.close();
}

}  // namespace quill::ftp
