#include "sftp/sftp_client.hpp"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <string_view>
#include <utility>

#include "files/descriptor.hpp"
#include "files/file_io.hpp"
#include "files/system_error_text.hpp"
#include "ftp/listing_limits.hpp"
#include "net/ftp_errors.hpp"
#include "sftp/posix_rename.hpp"
#include "sftp/sftp_errors.hpp"
#include "sftp/ssh_session.hpp"

namespace quill::sftp {

namespace {

// One request's worth of a transfer; servers take at least this much.
constexpr std::size_t kPieceBytes = 32768;

std::string defaultSshFolder() {
    if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') return std::string(home) + "/.ssh";
    if (const passwd* user = ::getpwuid(::getuid()); user != nullptr && user->pw_dir != nullptr)
        return std::string(user->pw_dir) + "/.ssh";
    return {};
}

struct AttributesOwner {
    sftp_attributes attributes = nullptr;
    ~AttributesOwner() { sftp_attributes_free(attributes); }
};

// A server file closes however the scope ends, the close bounded too.
class OpenFile {
public:
    OpenFile(SshSession& session, sftp_file file, int limitMs) : session_(session), file_(file), limitMs_(limitMs) {}
    ~OpenFile() {
        if (file_ == nullptr) return;
        auto armed = session_.bound(limitMs_);
        sftp_close(file_);
    }
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;
    sftp_file get() const { return file_; }
    // A close whose result matters: the server may refuse what was written.
    bool close() {
        auto armed = session_.bound(limitMs_);
        return sftp_close(std::exchange(file_, nullptr)) == SSH_NO_ERROR;
    }

private:
    SshSession& session_;
    sftp_file file_;
    int limitMs_;
};

EntryType typeOf(const sftp_attributes attributes) {
    if ((attributes->flags & SSH_FILEXFER_ATTR_PERMISSIONS) != 0) {
        switch (attributes->permissions & S_IFMT) {
            case S_IFREG:
                return EntryType::File;
            case S_IFDIR:
                return EntryType::Folder;
            case S_IFLNK:
                return EntryType::Link;
            default:
                return EntryType::Other;
        }
    }
    switch (attributes->type) {
        case SSH_FILEXFER_TYPE_REGULAR:
            return EntryType::File;
        case SSH_FILEXFER_TYPE_DIRECTORY:
            return EntryType::Folder;
        case SSH_FILEXFER_TYPE_SYMLINK:
            return EntryType::Link;
        default:
            return EntryType::Other;
    }
}

void writeAll(int fd, const char* data, std::size_t size, const std::string& localPath) {
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0)
            throw files::StreamError("Stream-Schreibfehler: \"" + localPath + "\": " + systemErrorText(errno));
        data += written;
        size -= static_cast<std::size_t>(written);
    }
}

}  // namespace

SftpClient::SftpClient() = default;
SftpClient::~SftpClient() = default;

void SftpClient::Connect() {
    if (session_) throw ftp::EAlreadyConnected();
    const SshTarget target{
        Host,           Port,        Username, Password, SshFolder.empty() ? defaultSshFolder() : SshFolder,
        ConnectTimeout, TrustHostKey};
    session_ = std::make_unique<SshSession>(target);
    folder_.clear();
    try {
        ChangeFolder(".");
    } catch (...) {
        Disconnect();
        throw;
    }
}

void SftpClient::Disconnect() {
    session_.reset();
}

bool SftpClient::Connected() const {
    return session_ && session_->alive();
}

LoginMethod SftpClient::Login() const {
    return session_ ? session_->login() : LoginMethod::None;
}

const HostKey& SftpClient::ServerKey() const {
    static const HostKey none;
    return session_ ? session_->serverKey() : none;
}

SshSession& SftpClient::session() {
    if (!session_) throw ftp::ENotConnected();
    return *session_;
}

std::string SftpClient::path(const std::string& name) const {
    if (folder_.empty() || (!name.empty() && name.front() == '/')) return name.empty() ? "." : name;
    if (name.empty()) return folder_;
    return folder_.back() == '/' ? folder_ + name : folder_ + "/" + name;
}

void SftpClient::ChangeFolder(const std::string& folder) {
    SshSession& s = session();
    auto armed = s.bound(ReadTimeout);
    char* canonical = sftp_canonicalize_path(s.sftp(), path(folder).c_str());
    if (canonical == nullptr) s.fail("Wechsel in den Ordner", folder);
    std::string resolved = canonical;
    ssh_string_free_char(canonical);
    AttributesOwner found{sftp_stat(s.sftp(), resolved.c_str())};
    if (found.attributes == nullptr) s.fail("Wechsel in den Ordner", folder);
    if (typeOf(found.attributes) != EntryType::Folder)
        throw ESftpStatus(SSH_FX_NO_SUCH_FILE, "Wechsel in den Ordner \"" + folder + "\" fehlgeschlagen: kein Ordner");
    folder_ = std::move(resolved);
}

std::vector<RemoteEntry> SftpClient::List(const std::string& folder) {
    SshSession& s = session();
    const std::string where = path(folder);
    sftp_dir dir = nullptr;
    {
        auto armed = s.bound(ReadTimeout);
        dir = sftp_opendir(s.sftp(), where.c_str());
    }
    if (dir == nullptr) s.fail("Auflisten des Ordners", where);
    struct DirOwner {
        SshSession& session;
        sftp_dir dir;
        int limitMs;
        ~DirOwner() {
            auto armed = session.bound(limitMs);
            sftp_closedir(dir);
        }
    } owner{s, dir, ReadTimeout};

    std::vector<RemoteEntry> entries;
    std::size_t listedBytes = 0;
    for (;;) {
        AttributesOwner next;
        {
            auto armed = s.bound(ReadTimeout);
            next.attributes = sftp_readdir(s.sftp(), dir);
        }
        if (next.attributes == nullptr) break;
        const std::string_view name = next.attributes->name != nullptr ? next.attributes->name : "";
        if (name.size() > ftp::kMaxNameBytes) throw ftp::ENameTooLong(std::string(name), ftp::kMaxNameBytes);
        listedBytes += name.size() + 2;
        if (listedBytes > ftp::kMaxListingBytes) throw ftp::EListingTooLarge(ftp::kMaxListingBytes);
        if (name == "." || name == "..") continue;
        entries.push_back({std::string(name), typeOf(next.attributes), next.attributes->size});
    }
    if (sftp_dir_eof(dir) == 0) s.fail("Auflisten des Ordners", where);
    return entries;
}

void SftpClient::Download(const std::string& remote, const std::string& localPath, const remote::TransferMeter& meter) {
    SshSession& s = session();
    sftp_file opened = nullptr;
    {
        auto armed = s.bound(ReadTimeout);
        opened = sftp_open(s.sftp(), path(remote).c_str(), O_RDONLY, 0);
    }
    if (opened == nullptr) s.fail("Herunterladen von", remote);
    OpenFile file(s, opened, ReadTimeout);
    std::uint64_t size = 0;  // asked for only when someone hears how far it is
    if (meter) {
        auto armed = s.bound(ReadTimeout);
        const AttributesOwner found{sftp_fstat(file.get())};
        if (found.attributes != nullptr && (found.attributes->flags & SSH_FILEXFER_ATTR_SIZE) != 0)
            size = found.attributes->size;
    }

    files::Descriptor local(::open(localPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
    if (!local.valid()) throw files::FileCreateError(files::createErrorText(localPath, errno));
    std::string piece(kPieceBytes, '\0');
    std::uint64_t received = 0;
    for (;;) {
        ssize_t got = 0;
        {
            auto armed = s.bound(ReadTimeout);
            got = sftp_read(file.get(), piece.data(), piece.size());
        }
        if (got < 0) s.fail("Herunterladen von", remote);
        if (got == 0) break;
        writeAll(local.get(), piece.data(), static_cast<std::size_t>(got), localPath);
        received += static_cast<std::uint64_t>(got);
        if (meter) meter(received, size);
    }
    if (::close(local.release()) != 0)
        throw files::StreamError("Stream-Schreibfehler: \"" + localPath + "\": " + systemErrorText(errno));
}

void SftpClient::Upload(const std::string& localPath, const std::string& remote, mode_t newFileMode,
                        const remote::TransferMeter& meter) {
    SshSession& s = session();
    const std::string bytes = files::readWholeFile(localPath);
    const std::string target = path(remote);
    sftp_file opened = nullptr;
    {
        auto armed = s.bound(ReadTimeout);
        opened = sftp_open(s.sftp(), target.c_str(), O_WRONLY | O_CREAT | O_TRUNC, newFileMode);
    }
    if (opened == nullptr) s.fail("Hochladen von", remote);
    OpenFile file(s, opened, ReadTimeout);
    for (std::size_t done = 0; done < bytes.size();) {
        const std::size_t size = std::min(kPieceBytes, bytes.size() - done);
        ssize_t written = 0;
        {
            auto armed = s.bound(ReadTimeout);
            written = sftp_write(file.get(), bytes.data() + done, size);
        }
        if (written <= 0) s.fail("Hochladen von", remote);
        done += static_cast<std::size_t>(written);
        if (meter) meter(done, bytes.size());
    }
    // The server may refuse what was written only now (a full disk).
    if (!file.close()) s.fail("Hochladen von", remote);
}

void SftpClient::Chmod(const std::string& remote, mode_t permissions) {
    SshSession& s = session();
    auto armed = s.bound(ReadTimeout);
    if (sftp_chmod(s.sftp(), path(remote).c_str(), permissions) != 0) s.fail("Setzen der Rechte von", remote);
}

std::optional<mode_t> SftpClient::Permissions(const std::string& remote) {
    SshSession& s = session();
    auto armed = s.bound(ReadTimeout);
    AttributesOwner found{sftp_lstat(s.sftp(), path(remote).c_str())};
    if (found.attributes == nullptr) {
        if (s.alive() && sftp_get_error(s.sftp()) == SSH_FX_NO_SUCH_FILE) return std::nullopt;
        s.fail("Lesen der Rechte von", remote);
    }
    return static_cast<mode_t>(found.attributes->permissions & 07777);
}

bool SftpClient::RenameReplaces() const {
    return session_ && sftp_extension_supported(session_->sftp(), kPosixRenameExtension, "1") != 0;
}

void SftpClient::Rename(const std::string& from, const std::string& to) {
    SshSession& s = session();
    auto armed = s.bound(ReadTimeout);
    if (!RenameReplaces()) {
        if (sftp_rename(s.sftp(), path(from).c_str(), path(to).c_str()) != 0) s.fail("Umbenennen von", from);
        return;
    }
    const int status = posixRename(s.sftp(), path(from), path(to));
    if (status < 0) s.fail("Umbenennen von", from);
    if (status != SSH_FX_OK)
        throw ESftpStatus(status, "Umbenennen von \"" + from + "\" fehlgeschlagen: " + sftpStatusText(status));
}

void SftpClient::Remove(const std::string& remote) {
    SshSession& s = session();
    auto armed = s.bound(ReadTimeout);
    if (sftp_unlink(s.sftp(), path(remote).c_str()) != 0) s.fail("Löschen von", remote);
}

}  // namespace quill::sftp
