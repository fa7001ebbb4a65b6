#include "net/channel.hpp"

namespace quill::ftp {

void Channel::startTls(const TlsParameters& parameters) {
    tls_ = std::make_unique<TlsSession>(std::move(plain_), parameters);
}

bool Channel::sendAll(std::string_view bytes, int timeoutMs) {
    return tls_ ? tls_->sendAll(bytes, timeoutMs) : plain_.sendAll(bytes, timeoutMs);
}

std::size_t Channel::sendSome(std::string_view bytes, int timeoutMs) {
    return tls_ ? tls_->sendSome(bytes, timeoutMs) : plain_.sendSome(bytes, timeoutMs);
}

bool Channel::hasBuffered() {
    return tls_ && tls_->hasBuffered();
}

bool Channel::readableNow() {
    return tls_ ? tls_->readableNow() : plain_.readableNow();
}

std::size_t Channel::receive(char* data, std::size_t size, ReceiveBound& bound) {
    return tls_ ? tls_->receive(data, size, bound) : plain_.receive(data, size, bound);
}

void Channel::finish(int timeoutMs) {
    if (tls_) tls_->sendCloseAlert();
    socket().shutdownSending();
    socket().drainUntilPeerCloses(timeoutMs);
    close();
}

void Channel::close() {
    if (tls_) {
        tls_->close();
        tls_.reset();
    }
    plain_.close();
}

}  // namespace quill::ftp
