#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "net/ftp_errors.hpp"
#include "net/tls_session.hpp"
#include "remote_folder/host_key.hpp"

namespace quill::remote {

// One entry of a server folder's listing. A server that lists bare names
// leaves kind and size unknown. Links are never followed, so a link to a
// folder cannot lead a walk in circles; Other is anything but a file, a
// folder or a link (a device, a socket).
struct RemoteEntry {
    enum class Kind { Unknown, File, Folder, Link, Other };
    std::string name;  // as the server spells it, inside the current folder
    Kind kind = Kind::Unknown;
    std::optional<std::uint64_t> size;
    std::string modified;  // "YYYYMMDDHHMMSS" where the listing tells it, else ""

    bool operator==(const RemoteEntry&) const = default;
};

// The entries of one folder with their kinds, and how many bytes of
// listing they took.
struct FolderListing {
    std::vector<RemoteEntry> entries;
    std::size_t bytes = 0;
};

// A listing that would pass the bytes it was allowed; the caller names its bound.
class EListingOverBudget : public ftp::EFTPError {
public:
    EListingOverBudget() : EFTPError("Die Ordnerliste des Servers ist zu groß.") {}
};

// A listed name that could lead out of the mirrored folder, or that no local
// file can carry: "/" or "\", "..", control characters, longer than 4 KiB.
class EUnsafeListedName : public ftp::EFTPError {
public:
    explicit EUnsafeListedName(std::string_view name);
};

// Whether a listed name may become one part of a local path.
bool isSafeListedName(std::string_view name);

// A name as a message may show it (UTF-8): control bytes as \xNN, cut after
// a readable length.
std::string shownName(std::string_view name);

// Where the server is and who logs in (code page 1252 text, as typed).
struct RemoteLogin {
    std::string host;
    std::string user;
    std::string password;
    bool passive = false;  // the client opens the data connections
    bool tls = false;      // everything encrypted, nothing in clear text
    // Asked about a certificate the system's authorities do not vouch for;
    // none refuses it.
    ftp::CertificateTrust trustCertificate;
    // Asked about an SSH host key that no known_hosts file lists; none
    // refuses it.
    HostKeyTrust trustHostKey;
};

enum class RenameResult {
    Done,
    SourceRefused,  // the file to rename was refused: nothing changed
    TargetRefused,  // the new name was refused, as by a server that renames onto no existing name
};

// The server refused to store a file under the name asked for (the name, or
// the user's right to write it); the connection stays usable.
class EStoreRefused : public ftp::EFTPError {
public:
    using EFTPError::EFTPError;
};

// How far the transfer in hand is: bytes moved, of the file's size (0 when
// not known). Called for every piece, on the thread that transfers.
using TransferMeter = std::function<void(std::uint64_t done, std::uint64_t size)>;

// One folder on a server, as the remote run sees it, whatever the protocol.
// Every call blocks until it is done; failures raise ftp::EFTPError
// subclasses, and a refusal by the server keeps its text.
class RemoteFolder {
public:
    virtual ~RemoteFolder() = default;

    // Connects and logs in; a failure leaves it disconnected.
    virtual void connect(const RemoteLogin& login) = 0;
    virtual bool connected() = 0;
    // Never fails: a connection that is already gone is just forgotten.
    virtual void disconnect() = 0;
    // The folder later calls work in; "/" separates its parts.
    virtual void changeFolder(const std::string& folder) = 0;

    // The entries of the current folder whose names match the mask ("" for
    // all), in the server's order, each handed to `each` in turn. `each` may
    // throw to stop the listing (a cancel); the connection stays usable.
    virtual void list(const std::string& mask, const std::function<void(RemoteEntry&& entry)>& each) = 0;
    // The absolute path of the folder later calls work in.
    virtual std::string currentFolder() = 0;
    // Every entry of the folder at the absolute path, with its kind, without
    // the folder itself and its parent, in at most maxBytes of listing
    // (EListingOverBudget beyond). Every name is checked (EUnsafeListedName);
    // a listing the client cannot read refuses with a message that says so.
    // Later calls work in that folder.
    virtual FolderListing listFolder(const std::string& folder, std::size_t maxBytes) = 0;
    // Copies the server file to localPath, replacing what is there.
    virtual void download(const std::string& name, const std::string& localPath) = 0;
    // Stores the local file under name, replacing a file of that name; raises
    // EStoreRefused when the server takes no file under that name.
    virtual void upload(const std::string& localPath, const std::string& name) = 0;
    virtual RenameResult rename(const std::string& from, const std::string& to) = 0;
    // False when the server refused (no such file, no right).
    virtual bool remove(const std::string& name) = 0;

    // Told about every piece that download and upload move, until replaced
    // (an empty one tells nobody).
    void setTransferMeter(TransferMeter meter) { meter_ = std::move(meter); }

protected:
    void reportTransferred(std::uint64_t done, std::uint64_t size) const {
        if (meter_) meter_(done, size);
    }

private:
    TransferMeter meter_;
};

}  // namespace quill::remote
