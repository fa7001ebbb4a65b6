#include "ftp/ftp_client.hpp"

#include <chrono>

#include "ftp/data_connection.hpp"
#include "ftp/one_time_password.hpp"
#include "net/ftp_errors.hpp"
#include "net/winsock_errors.hpp"
#include "text/cp1252.hpp"
#include "text/integer_parse.hpp"

namespace quill::ftp {

namespace {

constexpr std::size_t kMaxReplyBytes = 1 << 20;

std::string typeLetter(TFTPTransferType type) {
    return type == ftASCII ? "A" : "I";
}

// The first blank-delimited word of a feature line, upper-cased, and the rest.
std::pair<std::string, std::string_view> splitFeature(std::string_view line) {
    line = trimLeftBlanks(line);
    const auto blank = line.find(' ');
    if (blank == std::string_view::npos) return {toUpper1252(line), {}};
    return {toUpper1252(line.substr(0, blank)), line.substr(blank + 1)};
}

bool startsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

}  // namespace

TFTPClient::TFTPClient() = default;
TFTPClient::~TFTPClient() = default;

void TFTPClient::Connect() {
    try {
        if (Connected()) throw EAlreadyConnected();
        openControlConnection();
        ReadReply({220});
        greeting_ = lastReply_;
        if (UseTLS) startControlTls();
        if (AutoLogin) {
            login();
            if (UseTLS) protectDataConnections();
            afterLogin();
        }
    } catch (...) {
        Disconnect();
        throw;
    }
}

void TFTPClient::openControlConnection() {
    input_.clear();
    lineSearchFrom_ = 0;
    closedByPeer_ = false;
    features_.clear();
    systemDescription_.clear();
    utcOffsetKnown_ = false;
    utcOffsetMinutes_ = 0;
    lastReply_ = {};
    greeting_ = {};
    listingBytesLeft_ = kMaxListingBytes;

    control_ = TcpSocket::create();
    everConnected_ = true;
    control_.bind("", 0);
    control_.setNoDelayOff();
    const std::string address = resolveHost(Host);
    control_.connect(address, Port, ConnectTimeout);
    localAddress_ = control_.localAddress();
    peerAddress_ = control_.peerAddress();
}

void TFTPClient::login() {
    const int code = SendCommand("USER " + Username, {230, 232, 331});
    if (code != 331) return;
    std::string password = Password;
    if (const auto challenge = findOtpChallenge(joinLines(lastReply_.Text)))
        password = oneTimePassword(challenge->hash, challenge->sequence, challenge->seed, Password);
    SendCommand("PASS " + password, {230});
}

void TFTPClient::afterLogin() {
    SendCommand("FEAT");
    features_.clear();
    if (lastReply_.Text.size() >= 3) features_.assign(lastReply_.Text.begin() + 1, lastReply_.Text.end() - 1);

    SendCommand("TYPE " + typeLetter(transferType_), {200});

    if (SendCommand("SYST") == 500)
        systemDescription_ = "Unknown";
    else
        systemDescription_ = lastReply_.Text.empty() ? std::string() : lastReply_.Text.front();

    if (offersSiteZone() && SendCommand("SITE ZONE") == 210) {
        const std::string& line = lastReply_.Text.empty() ? std::string() : lastReply_.Text.front();
        utcOffsetMinutes_ = tryParseInteger(line.size() > 3 ? std::string_view(line).substr(3) : "").value_or(0);
        utcOffsetKnown_ = true;
    }
}

bool TFTPClient::offersSiteZone() const {
    if (!greeting_.Text.empty()) {
        const std::string& first = greeting_.Text.front();
        if (startsWith(first, "Serv-U ") || startsWith(first, "BPFTP Server ") || startsWith(first, "TitanFTP server "))
            return true;
    }
    for (const auto& line : features_) {
        const auto [word, rest] = splitFeature(line);
        if (word != "SITE") continue;
        std::string_view items = rest;
        while (true) {
            const auto semicolon = items.find(';');
            if (toUpper1252(items.substr(0, semicolon)) == "ZONE") return true;
            if (semicolon == std::string_view::npos) break;
            items.remove_prefix(semicolon + 1);
        }
    }
    return false;
}

void TFTPClient::Disconnect() {
    // No QUIT: the server learns of the end from the closed connection.
    control_.close();
    // Unread bytes of a closed connection would keep Connected true and make
    // every later Connect fail with "Already connected.".
    input_.clear();
    lineSearchFrom_ = 0;
}

bool TFTPClient::Connected() {
    if (!everConnected_) return false;
    if (control_.isOpen() && !closedByPeer_) {
        try {
            std::string piece(RecvBufferSize, '\0');
            FirstByteThenWholeBound bound(ReadTimeout);
            while (control_.readableNow()) {
                const std::size_t got = control_.receive(piece.data(), piece.size(), bound);
                if (got == 0) {
                    markClosedByPeer();
                    break;
                }
                input_.append(piece, 0, got);
            }
        } catch (const ESocketError&) {
            // A reset connection is as gone as a closed one.
            markClosedByPeer();
        }
    }
    return (control_.isOpen() && !closedByPeer_) || !input_.empty();
}

void TFTPClient::markClosedByPeer() {
    closedByPeer_ = true;
    control_.close();
}

void TFTPClient::requireSocket() const {
    if (!everConnected_) throw ENotConnected();
}

void TFTPClient::ChangeFolder(const std::string& folder) {
    SendCommand("CWD " + folder, {200, 250});
}

int TFTPClient::SendCommand(const std::string& line, const ReplyCodes& allowed) {
    requireSocket();
    discardStaleReplies();
    WriteLine(line);
    return ReadReply(allowed);
}

void TFTPClient::discardStaleReplies() {
    // A reply that came before the command was sent cannot answer it, such
    // as a 226 behind the 426 that ended a transfer.
    while (control_.isOpen() && !closedByPeer_ && (!input_.empty() || control_.readableNow())) {
        StringList stale;
        abandonOnStall([&] { stale = readReplyLines(); });
    }
}

void TFTPClient::WriteLine(const std::string& line) {
    requireSocket();
    if (!control_.isOpen() || closedByPeer_) throw EConnClosedGracefully();
    if (!control_.sendAll(line + "\r\n", ReadTimeout)) {
        markClosedByPeer();
        if (input_.empty()) throw EConnClosedGracefully();
    }
}

std::string TFTPClient::readLine() {
    requireSocket();
    while (true) {
        const auto lf = input_.find('\n', lineSearchFrom_);
        const bool found = lf != std::string::npos;
        const std::size_t length = found ? lf : input_.size();
        if (length > MaxLineLength && (found || input_.size() > MaxLineLength)) {
            if (MaxLineAction == maException) throw EMaxLineLengthExceeded();
            std::string line = input_.substr(0, MaxLineLength);
            input_.erase(0, MaxLineLength);
            lineSearchFrom_ = 0;
            return line;
        }
        if (found) {
            std::string line = input_.substr(0, lf);
            input_.erase(0, lf + 1);
            lineSearchFrom_ = 0;
            if (!line.empty() && line.back() == '\r') line.pop_back();
            return line;
        }
        lineSearchFrom_ = input_.size();
        receiveMore();
    }
}

void TFTPClient::receiveMore() {
    if (!control_.isOpen() || closedByPeer_) throw EConnClosedGracefully();
    // Outside a reply (a stray line read on its own) each read has the bound anew.
    FirstByteThenWholeBound ownBound(ReadTimeout);
    ReceiveBound& bound = replyBound_ != nullptr ? *replyBound_ : ownBound;
    std::string piece(RecvBufferSize, '\0');
    const std::size_t got = control_.receive(piece.data(), piece.size(), bound);
    if (got == 0) {
        markClosedByPeer();
        throw EConnClosedGracefully();
    }
    input_.append(piece, 0, got);
}

int TFTPClient::ReadReply(const ReplyCodes& allowed) {
    requireSocket();
    StringList lines;
    abandonOnStall([&] { lines = readReplyLines(); });
    lastReply_ = parseReplyLines(lines);
    checkReply(lastReply_, allowed);
    return lastReply_.NumericCode;
}

StringList TFTPClient::readReplyLines() {
    // The first byte may take the read bound; from there, the whole reply
    // must arrive within one more, however slowly it drips in, counted on
    // the bytes reaching the socket (inside a TLS record too).
    FirstByteThenWholeBound bound(ReadTimeout);
    if (!input_.empty()) bound.arrived(input_.size());
    struct UseBound {
        ReceiveBound*& slot;
        ~UseBound() { slot = nullptr; }
    } use{replyBound_};
    replyBound_ = &bound;

    // A reply that never ends, or endless blank lines before it, must not
    // eat all memory.
    std::size_t replyBytes = 0;
    const auto nextLine = [&] {
        std::string line = readLine();
        replyBytes += line.size() + 2;
        if (replyBytes > kMaxReplyBytes) throw EMaxLineLengthExceeded();
        return line;
    };
    StringList lines;
    while (true) {
        const std::string line = nextLine();
        const auto trimmed = trimBlanks(line);
        if (!trimmed.empty()) {
            lines.emplace_back(trimmed);
            break;
        }
    }
    while (!isReplyEndLine(lines.back())) lines.push_back(nextLine());
    return lines;
}

void TFTPClient::abandonOnStall(const std::function<void()>& step) {
    const auto giveUp = [this] {
        // Whatever the server sends later would be taken for the answer to
        // the next command, and it has had its time: the connection ends.
        Disconnect();
    };
    try {
        step();
    } catch (const EReadTimeout&) {
        giveUp();
        throw;
    } catch (const EListingTooLarge&) {
        giveUp();
        throw;
    } catch (const ENameTooLong&) {
        giveUp();
        throw;
    } catch (const ESocketError& failure) {
        if (failure.errorCode() == kWsaTimedOut) giveUp();
        throw;
    }
}

void TFTPClient::SetTransferType(TFTPTransferType type) {
    if (type == transferType_ || transferring_) return;
    transferType_ = type;
    if (Connected()) SendCommand("TYPE " + typeLetter(type), {200});
}

bool TFTPClient::SupportsFeature(const std::string& name) const {
    for (const auto& line : features_) {
        if (splitFeature(line).first == name) return true;
    }
    return false;
}

}  // namespace quill::ftp
