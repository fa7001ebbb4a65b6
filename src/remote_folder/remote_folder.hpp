#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "net/ftp_errors.hpp"
#include "net/tls_session.hpp"

namespace quill::remote {

// One entry of a server folder's listing. A server that lists bare names
// leaves kind and size unknown.
struct RemoteEntry {
    enum class Kind { Unknown, File, Folder, Link };
    std::string name;  // as the server spells it, inside the current folder
    Kind kind = Kind::Unknown;
    std::optional<std::uint64_t> size;
};

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
    // Copies the server file to localPath, replacing what is there.
    virtual void download(const std::string& name, const std::string& localPath) = 0;
    // Stores the local file under name, replacing a file of that name; raises
    // EStoreRefused when the server takes no file under that name.
    virtual void upload(const std::string& localPath, const std::string& name) = 0;
    virtual RenameResult rename(const std::string& from, const std::string& to) = 0;
    // False when the server refused (no such file, no right).
    virtual bool remove(const std::string& name) = 0;
};

}  // namespace quill::remote
