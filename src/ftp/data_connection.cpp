#include "ftp/data_connection.hpp"

#include <algorithm>
#include <chrono>
#include <string>

#include "net/ftp_errors.hpp"
#include "net/winsock_errors.hpp"

namespace quill::ftp {

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kListenBacklog = 15;
// How long a connection may lag behind the server's reply on the control
// connection; on one host it never does, across a network only by a lost packet.
constexpr int kLateConnectionGraceMs = 500;
// While sending, the control connection is looked at this often.
constexpr int kSendWatchSliceMs = 200;

int msUntil(Clock::time_point end) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
    return static_cast<int>(std::max<long long>(left, 0));
}

}  // namespace

void ControlWatch::readIfPending() {
    if (active_ && pending_()) read();
}

void ControlWatch::readIfSpoke() {
    if (active_ && (pending_() || socket_.readableNow())) read();
}

void ControlWatch::read() {
    active_ = false;
    read_();
}

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

bool DataConnection::acceptServer(const std::string& serverHost, const TcpSocket& control, bool controlPending,
                                  int limitMs) {
    const bool bounded = limitMs != kWaitForever;
    const auto deadline = Clock::now() + std::chrono::milliseconds(limitMs);
    auto until = deadline;
    bool controlSpoke = false;
    const auto noteControl = [&] {
        controlSpoke = true;
        const auto grace = Clock::now() + std::chrono::milliseconds(kLateConnectionGraceMs);
        until = bounded ? std::min(deadline, grace) : grace;
    };
    if (controlPending) noteControl();
    try {
        while (true) {
            const bool limited = bounded || controlSpoke;
            const int wait = limited ? std::max(msUntil(until), 1) : kWaitForever;
            const int ready =
                controlSpoke ? (listener_.waitReadable(wait) ? 1 : 0) : waitEitherReadable(listener_, control, wait);
            if (ready == 1) {
                TcpSocket candidate = listener_.accept();
                // Data from anyone but the server would be taken for the file.
                if (candidate.peerAddress().host != serverHost) continue;
                socket_ = std::move(candidate);
                socket_.setNoDelayOff();
                break;
            }
            if (ready == 2) {
                noteControl();
                continue;
            }
            if (limited && Clock::now() >= until) break;
        }
    } catch (const EFTPError&) {
        // A failed accept leaves the transfer without a connection.
        socket_.close();
    }
    listener_.close();
    return socket_.isOpen();
}

std::uint64_t DataConnection::receiveAll(const std::function<void(std::string_view)>& sink, std::size_t pieceSize,
                                         ControlWatch& control) {
    std::uint64_t total = 0;
    if (!socket_.isOpen()) return total;
    std::string piece(std::max<std::size_t>(pieceSize, 1), '\0');
    std::size_t filled = 0;
    pace_.start();
    while (true) {
        // The wait below looks at the control socket; only what was read already needs a look here.
        control.readIfPending();
        if (control.active() && !socket_.hasBuffered()) {
            // Data is preferred: a final reply that overtook the last bytes waits for them.
            const int ready = waitEitherReadable(socket_.socket(), control.socket(), pace_.nextWaitMs());
            if (ready == 0) continue;
            if (ready == 2) {
                control.read();
                continue;
            }
        }
        const std::size_t got = socket_.receive(piece.data() + filled, piece.size() - filled, pace_);
        if (got == 0) break;
        total += got;
        filled += got;
        if (filled == piece.size()) {
            sink(piece);
            filled = 0;
        }
    }
    if (filled > 0) sink(std::string_view(piece).substr(0, filled));
    return total;
}

void DataConnection::send(std::string_view piece, ControlWatch& control) {
    if (!socket_.isOpen()) throw EConnClosedGracefully();
    pace_.start();
    while (!piece.empty()) {
        control.readIfSpoke();
        const int limit = pace_.waitLimitMs();
        const int slice = limit == kWaitForever ? kSendWatchSliceMs : std::min(limit, kSendWatchSliceMs);
        const std::size_t sent = socket_.sendSome(piece, slice);
        pace_.moved(sent);
        piece.remove_prefix(sent);
        if (pace_.stalled()) raiseSocketError(kWsaTimedOut);
    }
}

void DataConnection::startTls(const TlsParameters& parameters, const std::string& controlFingerprint) {
    if (!socket_.isOpen()) return;
    socket_.startTls(parameters);
    if (!socket_.tls()->resumed() && socket_.tls()->peerCertificate().fingerprint != controlFingerprint)
        throw ETlsError("Die Datenverbindung zeigt ein anderes Zertifikat als die Steuerverbindung.");
}

void DataConnection::finish() {
    socket_.finish(boundMs_);
    listener_.close();
}

void DataConnection::close() {
    socket_.close();
    listener_.close();
}

}  // namespace quill::ftp
