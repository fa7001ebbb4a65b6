#include "support/scripted_ftp_server.hpp"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <stdexcept>
#include <utility>

#include "runs/file_mask.hpp"

namespace quill::test {

namespace {

constexpr int kPollRoundMs = 20;
constexpr int kDataWaitMs = 5000;

std::string upperVerb(const std::string& line) {
    std::string verb = line.substr(0, line.find(' '));
    for (char& byte : verb) {
        if (byte >= 'a' && byte <= 'z') byte = static_cast<char>(byte - 'a' + 'A');
    }
    return verb;
}

int listenOn(const std::string& address, std::uint16_t& port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) throw std::runtime_error("scripted server: socket failed");
    const int yes = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = 0;
    if (::inet_pton(AF_INET, address.c_str(), &local.sin_addr) != 1 || (ntohl(local.sin_addr.s_addr) >> 24) != 127 ||
        ::bind(fd, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0 || ::listen(fd, 16) != 0) {
        ::close(fd);
        throw std::runtime_error("scripted server: cannot listen on " + address);
    }
    socklen_t length = sizeof local;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&local), &length);
    port = ntohs(local.sin_port);
    return fd;
}

bool waitReadable(int fd, int timeoutMs) {
    pollfd entry{fd, POLLIN, 0};
    return ::poll(&entry, 1, timeoutMs) > 0;
}

// False when the peer has gone.
bool sendAll(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const auto sent = ::send(fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
        if (sent < 0 && errno == EINTR) continue;
        if (sent <= 0) return false;
        done += static_cast<std::size_t>(sent);
    }
    return true;
}

void closeFd(int& fd) {
    if (fd >= 0) ::close(fd);
    fd = -1;
}

}  // namespace

ServerStep sendRaw(std::string bytes) {
    return {ServerStep::Kind::Send, std::move(bytes)};
}
ServerStep replyLine(const std::string& line) {
    return sendRaw(line + "\r\n");
}
ServerStep openData() {
    return {ServerStep::Kind::OpenData, {}};
}
ServerStep sendData(std::string bytes) {
    return {ServerStep::Kind::SendData, std::move(bytes)};
}
ServerStep sendDataRepeated(std::string bytes, int times) {
    return {ServerStep::Kind::SendData, std::move(bytes), 0, times};
}
ServerStep receiveData() {
    return {ServerStep::Kind::ReceiveData, {}};
}
ServerStep closeData() {
    return {ServerStep::Kind::CloseData, {}};
}
ServerStep resetData() {
    return {ServerStep::Kind::ResetData, {}};
}
ServerStep closeControl() {
    return {ServerStep::Kind::CloseControl, {}};
}
ServerStep pause(int milliseconds) {
    return {ServerStep::Kind::Pause, {}, milliseconds};
}
ServerStep drip(std::string bytes, int intervalMs) {
    return {ServerStep::Kind::Drip, std::move(bytes), intervalMs};
}
ServerStep dripData(std::string bytes, int intervalMs) {
    return {ServerStep::Kind::DripData, std::move(bytes), intervalMs};
}
ServerStep strangerData(std::string bytes) {
    return {ServerStep::Kind::StrangerData, std::move(bytes)};
}
ServerStep startTls() {
    return {ServerStep::Kind::StartTls, {}};
}
ServerStep secureData() {
    return {ServerStep::Kind::SecureData, {}};
}
ServerStep closeDataWithoutAlert() {
    return {ServerStep::Kind::CloseDataWithoutAlert, {}};
}

Script transferOut(std::string data) {
    return {replyLine("150 Opening data connection"), openData(), sendData(std::move(data)), closeData(),
            replyLine("226 Transfer complete")};
}

Script transferIn() {
    return {replyLine("150 Opening data connection"), openData(), receiveData(), closeData(),
            replyLine("226 Transfer complete")};
}

ScriptedFtpServer::ScriptedFtpServer() {
    listener_ = listenOn("127.0.0.1", port_);
    bindPassiveListener("127.0.0.1");
    greeting_ = {replyLine("220 Scripted server ready")};
    thread_ = std::thread([this] { run(); });
}

ScriptedFtpServer::~ScriptedFtpServer() {
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    changed_.notify_all();
    thread_.join();
    closeFd(listener_);
    closeFd(passiveListener_);
    gnutls_free(ticketKey_.data);
}

void ScriptedFtpServer::bindPassiveListener(const std::string& address) {
    std::uint16_t port = 0;
    const int fd = listenOn(address, port);
    std::lock_guard lock(mutex_);
    closeFd(passiveListener_);
    passiveListener_ = fd;
    passiveAddress_ = address;
    passivePort_ = port;
}

void ScriptedFtpServer::setGreeting(Script greeting) {
    std::lock_guard lock(mutex_);
    greeting_ = std::move(greeting);
}

void ScriptedFtpServer::once(const std::string& verb, Script answer) {
    std::lock_guard lock(mutex_);
    queued_[verb].push_back(std::move(answer));
}

void ScriptedFtpServer::always(const std::string& verb, Script answer) {
    std::lock_guard lock(mutex_);
    standing_[verb] = std::move(answer);
}

void ScriptedFtpServer::setRefusedStorePrefix(const std::string& prefix) {
    std::lock_guard lock(mutex_);
    refusedStorePrefix_ = prefix;
}

void ScriptedFtpServer::setTlsPriorities(const std::string& priorities) {
    std::lock_guard lock(mutex_);
    tlsPriorities_ = priorities;
}

void ScriptedFtpServer::setCertificate(const TestCertificate& certificate) {
    std::lock_guard lock(mutex_);
    certificate_ = certificate;
    if (ticketKey_.data == nullptr) gnutls_session_ticket_key_generate(&ticketKey_);
}

std::vector<bool> ScriptedFtpServer::dataSessionsResumed() const {
    std::lock_guard lock(mutex_);
    return dataSessionsResumed_;
}

void ScriptedFtpServer::setPassiveAddress(const std::string& address) {
    bindPassiveListener(address);
}

void ScriptedFtpServer::setAnnouncedPassiveAddress(const std::string& address) {
    std::lock_guard lock(mutex_);
    announcedPassiveAddress_ = address;
}

void ScriptedFtpServer::setRenameOntoExisting(bool allowed) {
    std::lock_guard lock(mutex_);
    renameOntoExisting_ = allowed;
}

void ScriptedFtpServer::putFile(const std::string& name, std::string contents) {
    std::lock_guard lock(mutex_);
    files_[name] = std::move(contents);
}

std::map<std::string, std::string> ScriptedFtpServer::files() const {
    std::lock_guard lock(mutex_);
    return files_;
}

std::vector<std::string> ScriptedFtpServer::commands() const {
    std::lock_guard lock(mutex_);
    return commands_;
}

std::vector<std::string> ScriptedFtpServer::uploads() const {
    std::lock_guard lock(mutex_);
    return uploads_;
}

std::vector<std::string> ScriptedFtpServer::problems() const {
    std::lock_guard lock(mutex_);
    return problems_;
}

std::string ScriptedFtpServer::lastPortTarget() const {
    std::lock_guard lock(mutex_);
    return portHost_ + ":" + std::to_string(portPort_);
}

int ScriptedFtpServer::connectionsEnded() const {
    std::lock_guard lock(mutex_);
    return connectionsEnded_;
}

bool ScriptedFtpServer::waitForConnectionsEnded(int count, int timeoutMs) const {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return connectionsEnded_ >= count; });
}

void ScriptedFtpServer::addProblem(const std::string& text) {
    std::lock_guard lock(mutex_);
    problems_.push_back(text);
}

void ScriptedFtpServer::run() {
    while (true) {
        {
            std::lock_guard lock(mutex_);
            if (stop_) return;
        }
        if (!waitReadable(listener_, kPollRoundMs)) continue;
        int control = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (control < 0) continue;
        // serve closes it: a second close here could close a descriptor
        // the test's thread has opened under the same number meanwhile.
        serve(control);
        {
            std::lock_guard lock(mutex_);
            ++connectionsEnded_;
        }
        changed_.notify_all();
    }
}

void ScriptedFtpServer::serve(int control) {
    int data = -1;
    Script greeting;
    {
        std::lock_guard lock(mutex_);
        greeting = greeting_;
    }
    for (const auto& step : greeting) perform(control, data, step, {});

    std::string input;
    char buffer[4096];
    while (control >= 0) {
        const auto lf = input.find('\n');
        if (lf != std::string::npos) {
            std::string line = input.substr(0, lf);
            input.erase(0, lf + 1);
            if (!line.empty() && line.back() == '\r') line.pop_back();
            {
                std::lock_guard lock(mutex_);
                commands_.push_back(line);
            }
            changed_.notify_all();
            if (upperVerb(line) == "PASV") dropStalePassiveConnections();
            const auto blank = line.find(' ');
            const std::string argument = blank == std::string::npos ? std::string() : line.substr(blank + 1);
            const Script answer = answerFor(upperVerb(line), argument);
            if (upperVerb(line) == "PORT") {
                // h1,h2,h3,h4,p1,p2
                std::string fields = line.substr(5);
                int parts[6] = {};
                if (std::sscanf(fields.c_str(), "%d,%d,%d,%d,%d,%d", &parts[0], &parts[1], &parts[2], &parts[3],
                                &parts[4], &parts[5]) == 6) {
                    std::lock_guard lock(mutex_);
                    portHost_ = std::to_string(parts[0]) + "." + std::to_string(parts[1]) + "." +
                                std::to_string(parts[2]) + "." + std::to_string(parts[3]);
                    portPort_ = static_cast<std::uint16_t>(parts[4] * 256 + parts[5]);
                }
            }
            for (const auto& step : answer) {
                perform(control, data, step, line);
                if (control < 0) break;
            }
            continue;
        }
        {
            std::lock_guard lock(mutex_);
            if (stop_) break;
        }
        if (!(controlTls_ && controlTls_->pending()) && !waitReadable(control, kPollRoundMs)) continue;
        const auto got =
            controlTls_ ? controlTls_->receive(buffer, sizeof buffer) : ::recv(control, buffer, sizeof buffer, 0);
        if (got <= 0) break;
        input.append(buffer, static_cast<std::size_t>(got));
    }
    dataTls_.reset();
    controlTls_.reset();
    closeFd(data);
    closeFd(control);
}

Script ScriptedFtpServer::answerFor(const std::string& verb, const std::string& argument) {
    std::lock_guard lock(mutex_);
    // The client's look for its own leftovers is not what the scripts are for.
    if (verb == "NLST" && argument.rfind(".quill-upload-", 0) == 0) return fileAnswer(verb, argument);
    auto queued = queued_.find(verb);
    if (queued != queued_.end() && !queued->second.empty()) {
        Script answer = std::move(queued->second.front());
        queued->second.pop_front();
        return answer;
    }
    auto standing = standing_.find(verb);
    if (standing != standing_.end()) return standing->second;
    return defaultAnswer(verb, argument);
}

// Called with the mutex held.
Script ScriptedFtpServer::fileAnswer(const std::string& verb, const std::string& argument) {
    const bool exists = files_.count(argument) != 0;
    if (verb == "SIZE") {
        if (!exists) return {replyLine("550 Could not get file size.")};
        return {replyLine("213 " + std::to_string(files_[argument].size()))};
    }
    if (verb == "DELE") {
        if (!exists) return {replyLine("550 No such file.")};
        files_.erase(argument);
        return {replyLine("250 File removed.")};
    }
    if (verb == "RNFR") {
        if (!exists) return {replyLine("550 No such file.")};
        renameFrom_ = argument;
        return {replyLine("350 Ready for destination name.")};
    }
    if (verb == "RNTO") {
        const std::string from = std::exchange(renameFrom_, std::string());
        if (from.empty() || files_.count(from) == 0) return {replyLine("503 Bad sequence of commands.")};
        if (exists && !renameOntoExisting_) return {replyLine("550 File exists.")};
        std::string contents = std::move(files_[from]);
        files_.erase(from);
        files_[argument] = std::move(contents);
        return {replyLine("250 Renamed.")};
    }
    if (verb == "NLST") {
        std::string listing;
        for (const auto& [name, contents] : files_) {
            if (argument.empty() || wildcardMatches(name, argument)) listing += name + "\r\n";
        }
        return transferOut(listing);
    }
    return transferOut(exists ? files_[argument] : std::string());  // RETR
}

// Called with the mutex held.
Script ScriptedFtpServer::defaultAnswer(const std::string& verb, const std::string& argument) {
    if (verb == "USER") return {replyLine("331 Password required")};
    if (verb == "PASS") return {replyLine("230 Logged in")};
    if (verb == "FEAT") return {sendRaw("211-Features:\r\n SIZE\r\n MDTM\r\n211 End\r\n")};
    if (verb == "TYPE") return {replyLine("200 Type set")};
    if (verb == "SYST") return {replyLine("215 UNIX Type: L8")};
    if (verb == "CWD") return {replyLine("250 Folder changed")};
    if (verb == "PORT") return {replyLine("200 PORT command successful")};
    if (verb == "REST") return {replyLine("350 Restarting")};
    if (verb == "PRET" || verb == "SITE" || verb == "PBSZ" || verb == "PROT") return {replyLine("200 OK")};
    if (verb == "PASV") {
        std::string host = announcedPassiveAddress_.empty() ? passiveAddress_ : announcedPassiveAddress_;
        for (char& byte : host) {
            if (byte == '.') byte = ',';
        }
        return {replyLine("227 Entering Passive Mode (" + host + "," + std::to_string(passivePort_ / 256) + "," +
                          std::to_string(passivePort_ % 256) + ").")};
    }
    if (verb == "LIST") return transferOut("");
    if (verb == "NLST" || verb == "RETR" || verb == "SIZE" || verb == "DELE" || verb == "RNFR" || verb == "RNTO")
        return fileAnswer(verb, argument);
    if (verb == "STOR" && !refusedStorePrefix_.empty() && argument.rfind(refusedStorePrefix_, 0) == 0)
        return {replyLine("553 Could not create file.")};
    if (verb == "STOR" || verb == "APPE") return transferIn();
    return {replyLine("500 Unknown command")};
}

void ScriptedFtpServer::perform(int control, int& data, const ServerStep& step, const std::string& line) {
    switch (step.kind) {
        case ServerStep::Kind::Send:
            if (controlTls_)
                controlTls_->send(step.bytes);
            else
                sendAll(control, step.bytes);
            break;
        case ServerStep::Kind::OpenData:
            dataTls_.reset();
            closeFd(data);
            data = openDataConnection();
            break;
        case ServerStep::Kind::SendData:
            for (int i = 0; i < step.times && data >= 0; ++i) {
                if (dataTls_ ? !dataTls_->send(step.bytes) : !sendAll(data, step.bytes)) break;
            }
            break;
        case ServerStep::Kind::ReceiveData: {
            std::string received;
            char buffer[65536];
            while (data >= 0) {
                if (!(dataTls_ && dataTls_->pending()) && !waitReadable(data, kDataWaitMs)) {
                    addProblem("upload did not end");
                    break;
                }
                const auto got =
                    dataTls_ ? dataTls_->receive(buffer, sizeof buffer) : ::recv(data, buffer, sizeof buffer, 0);
                if (got <= 0) break;
                received.append(buffer, static_cast<std::size_t>(got));
            }
            std::lock_guard lock(mutex_);
            // A server keeps whatever arrived, complete or not.
            if (upperVerb(line) == "STOR" && line.size() > 5) files_[line.substr(5)] = received;
            uploads_.push_back(std::move(received));
            break;
        }
        case ServerStep::Kind::CloseData:
            if (dataTls_) dataTls_->bye();
            dataTls_.reset();
            closeFd(data);
            break;
        case ServerStep::Kind::CloseDataWithoutAlert:
            dataTls_.reset();
            closeFd(data);
            break;
        case ServerStep::Kind::StartTls:
        case ServerStep::Kind::SecureData: {
            const bool onControl = step.kind == ServerStep::Kind::StartTls;
            std::optional<TestCertificate> certificate;
            std::string priorities;
            {
                std::lock_guard lock(mutex_);
                certificate = certificate_;
                priorities = tlsPriorities_;
            }
            if (!certificate || (!onControl && data < 0)) {
                addProblem("nothing to secure");
                break;
            }
            try {
                (onControl ? controlTls_ : dataTls_) = std::make_unique<ServerTls>(
                    onControl ? control : data, *certificate, kDataWaitMs, &ticketKey_, priorities);
                if (!onControl) {
                    std::lock_guard lock(mutex_);
                    dataSessionsResumed_.push_back(dataTls_->resumed());
                }
            } catch (const std::runtime_error& failure) {
                addProblem(failure.what());
                if (onControl) ::shutdown(control, SHUT_RDWR);
            }
            break;
        }
        case ServerStep::Kind::ResetData:
            dataTls_.reset();
            if (data >= 0) {
                const linger abort{1, 0};
                ::setsockopt(data, SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
            }
            closeFd(data);
            break;
        case ServerStep::Kind::CloseControl:
            ::shutdown(control, SHUT_RDWR);
            break;
        case ServerStep::Kind::Pause: {
            // A server that goes away ends its pause, so a test need not wait it out.
            std::unique_lock lock(mutex_);
            changed_.wait_for(lock, std::chrono::milliseconds(step.milliseconds), [this] { return stop_; });
            break;
        }
        case ServerStep::Kind::Drip:
            dripBytes(control, controlTls_ ? controlTls_->seal(step.bytes) : step.bytes, step.milliseconds);
            break;
        case ServerStep::Kind::DripData:
            dripBytes(data, dataTls_ ? dataTls_->seal(step.bytes) : step.bytes, step.milliseconds);
            break;
        case ServerStep::Kind::StrangerData:
            sendAsStranger(step.bytes);
            break;
    }
}

// Stops once the client has gone, so the script ends soon after.
void ScriptedFtpServer::dripBytes(int fd, const std::string& bytes, int intervalMs) {
    for (char byte : bytes) {
        if (fd < 0) return;
        std::this_thread::sleep_for(std::chrono::milliseconds(intervalMs));
        if (::send(fd, &byte, 1, MSG_NOSIGNAL) != 1) return;
    }
}

void ScriptedFtpServer::sendAsStranger(const std::string& bytes) {
    std::string host;
    std::uint16_t port = 0;
    {
        std::lock_guard lock(mutex_);
        host = portHost_;
        port = portPort_;
    }
    sockaddr_in stranger{};
    stranger.sin_family = AF_INET;
    ::inet_pton(AF_INET, "127.0.0.2", &stranger.sin_addr);
    sockaddr_in remote{};
    remote.sin_family = AF_INET;
    remote.sin_port = htons(port);
    if (::inet_pton(AF_INET, host.c_str(), &remote.sin_addr) != 1 || (ntohl(remote.sin_addr.s_addr) >> 24) != 127) {
        addProblem("PORT names a non-loopback address " + host);
        return;
    }
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&stranger), sizeof stranger) != 0 ||
        ::connect(fd, reinterpret_cast<sockaddr*>(&remote), sizeof remote) != 0) {
        addProblem("stranger could not connect");
    } else {
        sendAll(fd, bytes);
    }
    closeFd(fd);
}

// A data connection the script never took (say, the command was refused)
// must not be mistaken for the next one.
void ScriptedFtpServer::dropStalePassiveConnections() {
    int passive = -1;
    {
        std::lock_guard lock(mutex_);
        passive = passiveListener_;
    }
    while (waitReadable(passive, 0)) {
        const int stale = ::accept4(passive, nullptr, nullptr, SOCK_CLOEXEC);
        if (stale < 0) break;
        ::close(stale);
    }
}

int ScriptedFtpServer::openDataConnection() {
    std::string host;
    std::uint16_t port = 0;
    int passive = -1;
    {
        std::lock_guard lock(mutex_);
        host = portHost_;
        port = portPort_;
        passive = passiveListener_;
        // A PORT command since the last PASV means active mode.
        bool active = false;
        for (auto it = commands_.rbegin(); it != commands_.rend(); ++it) {
            const std::string verb = upperVerb(*it);
            if (verb == "PASV") break;
            if (verb == "PORT") {
                active = true;
                break;
            }
        }
        if (!active) host.clear();
    }
    if (host.empty()) {
        if (!waitReadable(passive, kDataWaitMs)) {
            addProblem("no passive data connection");
            return -1;
        }
        return ::accept4(passive, nullptr, nullptr, SOCK_CLOEXEC);
    }
    sockaddr_in remote{};
    remote.sin_family = AF_INET;
    remote.sin_port = htons(port);
    // Never anywhere but this machine, whatever the client announced.
    if (::inet_pton(AF_INET, host.c_str(), &remote.sin_addr) != 1 || (ntohl(remote.sin_addr.s_addr) >> 24) != 127) {
        addProblem("PORT names a non-loopback address " + host);
        return -1;
    }
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&remote), sizeof remote) != 0) {
        ::close(fd);
        addProblem("active data connection refused");
        return -1;
    }
    return fd;
}

}  // namespace quill::test
