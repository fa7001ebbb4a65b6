#pragma once

#include <functional>
#include <string>

#include "remote_folder/remote_folder.hpp"
#include "runs/encoding_runs.hpp"
#include "settings/settings_file.hpp"
#include "text/string_list.hpp"

namespace quill::ftp {

// What the page "FTP-Zugriff" holds, as typed (code page 1252).
// The run keeps the fields as typed in the settings file.
using RemoteRunFields = settings::FtpFields;

// How the run reaches the window while it goes on.
struct RemoteRunView {
    // Shows a message box and returns when the user has closed it.
    std::function<void(const RunOutcome& message)> showMessage;
    // Called whenever FileBox or the folder field changed, so the window can
    // show them before it blocks in a message box.
    std::function<void()> refresh;
    // Optional: called once the copies are downloaded, before they are
    // scanned, with their paths in FileBox order and the pages' names on
    // the server (with sub-folders, their full server paths).
    std::function<void(const StringList& copies, const StringList& pages)> copiesReady{};
    // False for a trial run: the report ends it, nothing is uploaded.
    bool uploadAfterReport = true;
    // False keeps the fields, the password above all, out of the settings
    // file: for a caller that has them from elsewhere.
    bool saveFields = true;
    // Asks a yes/no question (UTF-8) and returns true for "Ja". Used for a
    // server certificate that the system does not vouch for, and an SSH host
    // key that neither known_hosts nor the settings file knows.
    std::function<bool(const std::string& question)> askQuestion{};
    // Where the run keeps the server's pages before it changes them (a
    // RunBackup there); no backup when empty, and none in a trial run.
    std::string backupRoot{};
    // Optional: shown every page that would change, named by its server
    // name, before anything is written; false ends the run as it began
    // (copies deleted, disconnected, lists emptied, nothing uploaded).
    std::function<bool(const std::vector<PreviewFile>& changes)> confirmChanges{};
    // Optional: hears the audit of the rewritten copies after the report,
    // each hit named by its page on the server, the exceptions not applied.
    std::function<void(const std::vector<ReadableAddress>& hits)> audited{};
};

inline constexpr const char* kMissingFieldsMessage =
    "Bitte füllen Sie die Felder FTP-Server, Benutzername und Passwort aus!";

// The remote encoding run: tests and saves the fields, connects, lists the
// matching names of one server folder into fileBox, downloads them into
// "FTP-Inhalt", takes those copies (and nothing else there) as the found
// files, scans and rewrites them with the local procedures,
// reports, uploads them again after the report when an address was found
// (each replacing its page in one step where the server allows it), deletes
// the copies, disconnects and empties both lists. A failure ends the run at
// once, closes the connection and leaves the rest as it got; a failed upload
// says what became of each page and keeps the copies not uploaded.
// runs.observer hears the steps; a cancel (between two downloads, scans,
// rewrites or uploads) deletes the copies, disconnects, empties both lists and
// raises RunCancelled counting the uploads.
void FTP_Go(remote::RemoteFolder& server, RemoteRunFields& fields, const StringList& masks, EncodingRuns& runs,
            StringList& fileBox, const RemoteRunView& view);

// The local work folder and the local copy of a server file.
std::string remoteWorkFolder();
std::string localCopyPath(const std::string& remoteName);

}  // namespace quill::ftp
