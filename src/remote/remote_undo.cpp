#include "remote/remote_undo.hpp"

#include <optional>

#include "files/content_hash.hpp"
#include "files/file_io.hpp"
#include "net/ftp_errors.hpp"
#include "remote/certificate_pins.hpp"
#include "remote/host_key_pins.hpp"
#include "remote/remote_replace.hpp"
#include "text/cp1252.hpp"

namespace quill::ftp {

namespace {

// A page is kept as its name in the run's folder, or as its full server
// path when the run went into sub-folders.
UndoResult restorePages(remote::RemoteFolder& server, const KeptRun& run) {
    // Compared through a copy in the run's own backup folder: "FTP-Inhalt"
    // may hold copies an earlier run left for the user.
    const std::string copy = files::joinPath(run.folder, "Vergleich.tmp");
    std::optional<std::string> current;
    UndoResult result;
    for (const KeptFile& page : run.files) {
        const std::size_t slash = page.target.rfind('/');
        const std::string folder = slash == std::string::npos ? run.serverFolder
                                   : slash == 0               ? std::string("/")
                                                              : page.target.substr(0, slash);
        const std::string name = slash == std::string::npos ? page.target : page.target.substr(slash + 1);
        if (!folder.empty() && folder != current) server.changeFolder(folder);
        current = folder;
        const std::string shown = cp1252ToUtf8(page.target);
        try {
            server.download(name, copy);
        } catch (const EReplyError&) {
            // The server refused the page: it is gone or unreadable now.
            files::removeFile(copy);
            result.leftAlone.push_back(shown + ": auf dem Server nicht mehr lesbar");
            continue;
        }
        const std::string current = files::readWholeFile(copy);
        files::removeFile(copy);
        if (sha256Hex(current) != page.writtenHash) {
            result.leftAlone.push_back(shown + leftAloneReason(current, files::readWholeFile(page.original)));
            continue;
        }
        replaceRemoteFile(server, page.original, name);
        result.restored.push_back(shown);
    }
    return result;
}

}  // namespace

UndoResult undoRemoteRun(remote::RemoteFolder& server, const RemoteRunFields& fields, const KeptRun& run,
                         std::function<bool(const std::string& question)> askQuestion) {
    if (fields.host != run.place)
        throw QuillError("Dieser Lauf gehört zum FTP-Server \"" + cp1252ToUtf8(run.place) +
                         "\". Bitte tragen Sie ihn im Feld FTP-Server ein.");
    const remote::RemoteLogin login{fields.host,
                                    fields.user,
                                    fields.password,
                                    fields.passive,
                                    fields.tls,
                                    pinnedCertificateTrust(askQuestion),
                                    pinnedHostKeyTrust(askQuestion)};
    UndoResult result;
    try {
        server.connect(login);
        result = restorePages(server, run);
        server.disconnect();
    } catch (...) {
        server.disconnect();
        throw;
    }
    recordUndo(run, result);
    return result;
}

}  // namespace quill::ftp
