// The data connection operations of TFTPClient.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "files/descriptor.hpp"
#include "files/fault_injection.hpp"
#include "files/file_io.hpp"
#include "ftp/data_connection.hpp"
#include "ftp/ftp_client.hpp"
#include "ftp/listing_limits.hpp"
#include "ftp/pasv_reply.hpp"
#include "ftp/transfer_size.hpp"
#include "net/ftp_errors.hpp"
#include "net/tls_errors.hpp"

namespace quill::ftp {

namespace {

constexpr std::size_t kReceivePieceSize = 32768;

// Marks the client as transferring while a data connection exists.
class TransferScope {
public:
    explicit TransferScope(bool& flag) : flag_(flag) { flag_ = true; }
    ~TransferScope() { flag_ = false; }
    TransferScope(const TransferScope&) = delete;
    TransferScope& operator=(const TransferScope&) = delete;

private:
    bool& flag_;
};

std::string portArgument(std::string host, std::uint16_t port) {
    for (char& byte : host) {
        if (byte == '.') byte = ',';
    }
    return host + "," + std::to_string(port / 256) + "," + std::to_string(port % 256);
}

void writeAll(int fd, const std::string& path, std::string_view piece) {
    if (files::injectedFault(files::FileStep::Write, path) != 0) throw files::StreamError("Stream-Schreibfehler");
    while (!piece.empty()) {
        const auto written = ::write(fd, piece.data(), piece.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) throw files::StreamError("Stream-Schreibfehler");
        piece.remove_prefix(static_cast<std::size_t>(written));
    }
}

int createLocalFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) throw files::FileCreateError(files::createErrorText(path, errno));
    return fd;
}

// The file name part of a local path.
std::string fileNamePart(const std::string& path) {
    const auto separator = path.find_last_of('/');
    return separator == std::string::npos ? path : path.substr(separator + 1);
}

}  // namespace

SocketAddress TFTPClient::prepareTransfer(const std::string& commandLine, DataConnection& data) {
    if (Passive) {
        if (SupportsFeature("PRET")) SendCommand("PRET " + commandLine);
        SendCommand("PASV", {227});
        SocketAddress target = parsePasvReply(lastReply_.Text.empty() ? std::string() : lastReply_.Text.front());
        // Data comes only from the server we are talking to, whatever address
        // the reply names (a private one behind a router, or a third party's).
        target.host = peerAddress_.host;
        return target;
    }
    const SocketAddress listening = data.listen(localAddress_.host);
    SendCommand("PORT " + portArgument(ExternalIP.empty() ? listening.host : ExternalIP, listening.port), {200});
    return {};
}

void TFTPClient::awaitServerConnection(DataConnection& data) {
    if (data.acceptServer(peerAddress_.host, control_.socket(), !input_.empty(), AcceptTimeout)) return;
    data.close();
    if (control_.isOpen() && (!input_.empty() || control_.readableNow())) {
        // The server has finished without a connection: its own error, if
        // it gives one, tells more than ours.
        readFinalReply();
    } else {
        // A reply still to come would be taken for the answer to the next command.
        Disconnect();
    }
    throw EConnectTimeout();
}

ControlWatch TFTPClient::watchControl(std::optional<int>& finalCode) {
    return ControlWatch(
        control_.socket(), [this] { return !input_.empty() || control_.hasBuffered(); },
        [this, &finalCode] { finalCode = readFinalReply(); });
}

TFTPClient::Received TFTPClient::receivingTransfer(const std::string& commandLine, const PieceSink& sink,
                                                   std::optional<std::uint64_t> restartAt) {
    DataConnection data(TransferTimeout);
    const SocketAddress target = prepareTransfer(commandLine, data);
    Received result;
    std::optional<int> finalCode;
    {
        TransferScope scope(transferring_);
        const auto sendRestart = [&] {
            if (restartAt) SendCommand("REST " + std::to_string(*restartAt), {350});
        };
        if (Passive) {
            data.connect(target, ConnectTimeout);
            sendRestart();
            SendCommand(commandLine, {125, 150, 154});
            result.announced = sizeFromOpeningReply(lastReply_);
        } else {
            sendRestart();
            SendCommand(commandLine, {125, 150, 154});
            result.announced = sizeFromOpeningReply(lastReply_);
            awaitServerConnection(data);
        }
        startDataTls(data);
        ControlWatch control = watchControl(finalCode);
        abandonOnStall([&] { result.bytes = data.receiveAll(sink, kReceivePieceSize, control); });
        data.finish();
    }
    if (!finalCode) readFinalReply();
    return result;
}

void TFTPClient::sendingTransfer(const std::string& commandLine, int fileDescriptor) {
    struct stat info {};
    if (::fstat(fileDescriptor, &info) != 0) throw files::StreamError("Stream-Lesefehler");
    const auto size = static_cast<std::uint64_t>(info.st_size);

    DataConnection data(TransferTimeout);
    const SocketAddress target = prepareTransfer(commandLine, data);
    std::optional<int> finalCode;
    {
        TransferScope scope(transferring_);
        if (Passive) {
            // The server learns the file name before the data connection opens.
            WriteLine(commandLine);
            data.connect(target, ConnectTimeout);
            ReadReply({110, 125, 150});
        } else {
            SendCommand(commandLine, {125, 150});
            awaitServerConnection(data);
        }
        startDataTls(data);

        std::string piece(std::max<std::size_t>(SendBufferSize, 1), '\0');
        std::uint64_t sent = 0;
        ControlWatch control = watchControl(finalCode);
        abandonOnStall([&] {
            while (sent < size) {
                const auto wanted = static_cast<std::size_t>(std::min<std::uint64_t>(piece.size(), size - sent));
                const auto got = ::read(fileDescriptor, piece.data(), wanted);
                if (got < 0 && errno == EINTR) continue;
                if (got < 0) throw files::StreamError("Stream-Lesefehler");
                if (got == 0) throw ENoDataToRead();
                try {
                    data.send(std::string_view(piece).substr(0, static_cast<std::size_t>(got)), control);
                } catch (const ENotASocket&) {
                    if (!Passive) throw;
                }
                sent += static_cast<std::uint64_t>(got);
                reportTransferred(sent, size);
            }
            // The end of the data connection tells the server that the file is complete.
            data.finish();
        });
    }
    if (!finalCode) readFinalReply();
}

int TFTPClient::readFinalReply() {
    // Only these say that the transfer is complete; anything else (426
    // included) ends it at once with the server's text.
    return ReadReply({226, 250});
}

bool TFTPClient::serverCanRestart() {
    if (!canRestart_) {
        canRestart_ = SendCommand("REST 1") == 350;
        SendCommand("REST 0");
    }
    return *canRestart_;
}

std::string TFTPClient::receiveText(const std::string& commandLine, const TextCheck& check) {
    const TFTPTransferType previous = transferType_;
    SetTransferType(ftASCII);
    std::string text;
    bool refusedByCheck = false;
    try {
        receivingTransfer(
            commandLine,
            [&](std::string_view piece) {
                text.append(piece);
                refusedByCheck = true;
                check(text, piece.size());
                refusedByCheck = false;
            },
            std::nullopt);
    } catch (...) {
        // The server goes on sending what the check refused; only a new
        // connection is in a known state. Otherwise the transfer's own error
        // is the one to report, and a connection given up on a stall is not
        // asked again. Either way the type is kept for the next connection.
        if (refusedByCheck) Disconnect();
        try {
            SetTransferType(previous);
        } catch (const EFTPError&) {
        }
        throw;
    }
    SetTransferType(previous);
    return text;
}

void TFTPClient::ListNames(StringList& dest, const std::string& mask) {
    ListingLimits limits(listingBytesLeft_);
    const std::string listing =
        receiveText(std::string(trimBlanks("NLST " + mask)),
                    [&](const std::string& text, std::size_t appended) { limits.check(text, appended); });
    listingBytesLeft_ -= listing.size();
    dest = splitLines(listing);
}

void TFTPClient::Download(const std::string& remote, const std::string& localPath, bool canOverwrite, bool resume) {
    requireSocket();
    std::optional<std::uint64_t> restartAt;
    int fd = -1;
    if (files::fileExists(localPath)) {
        const bool resuming = resume && serverCanRestart();
        if (canOverwrite && !resuming) {
            ::unlink(localPath.c_str());
            fd = createLocalFile(localPath);
        } else if (resuming && !canOverwrite) {
            fd = ::open(localPath.c_str(), O_RDWR | O_CLOEXEC);
            if (fd < 0) throw files::FileOpenError(files::openErrorText(localPath, errno));
            const auto end = ::lseek(fd, 0, SEEK_END);
            restartAt = end > 0 ? static_cast<std::uint64_t>(end) : 0;
        } else {
            throw EFileAlreadyExists();
        }
    } else {
        fd = createLocalFile(localPath);
    }
    files::Descriptor file(fd);
    // A count known beforehand shows whether every byte arrived.
    std::optional<std::uint64_t> expected;
    if (transferType_ == ftBinary && SupportsFeature("SIZE") && SendCommand("SIZE " + remote) == 213) {
        expected = sizeFromSizeReply(lastReply_);
        if (expected && restartAt) expected = *expected >= *restartAt ? *expected - *restartAt : 0;
    }
    std::uint64_t written = 0;
    const Received received = receivingTransfer(
        "RETR " + remote,
        [&](std::string_view piece) {
            writeAll(file.get(), localPath, piece);
            written += piece.size();
            reportTransferred(written, expected.value_or(0));
        },
        restartAt);
    if (!expected) expected = received.announced;
    if (expected && *expected != received.bytes) throw ETransferIncomplete(remote, received.bytes, *expected);
    // Nothing may remain of older, longer contents beyond the last byte written.
    const auto position = ::lseek(file.get(), 0, SEEK_CUR);
    if (position >= 0) [[maybe_unused]]
        const int ignored = ::ftruncate(file.get(), position);
}

void TFTPClient::Upload(const std::string& localPath, const std::string& remote, bool append) {
    requireSocket();
    const std::string name = remote.empty() ? fileNamePart(localPath) : remote;
    if (name.empty()) throw EUploadFileNameEmpty();
    const int fd = ::open(localPath.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) throw files::FileOpenError(files::openErrorText(localPath, errno));
    files::Descriptor file(fd);
    struct stat info {};
    if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode))
        throw files::FileOpenError(files::openErrorText(localPath, EISDIR));
    sendingTransfer((append ? "APPE " : "STOR ") + name, fd);
    // A 226 alone has vouched for files the server cut short; where the
    // server can tell the size, it must be what was sent.
    if (append || transferType_ != ftBinary || !SupportsFeature("SIZE")) return;
    if (SendCommand("SIZE " + name) != 213) return;
    const auto stored = sizeFromSizeReply(lastReply_);
    if (stored && *stored != static_cast<std::uint64_t>(info.st_size))
        throw EUploadIncomplete(name, info.st_size, *stored);
}

}  // namespace quill::ftp
