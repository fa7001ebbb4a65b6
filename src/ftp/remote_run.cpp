#include "ftp/remote_run.hpp"

#include <algorithm>

#include "encoding/address_audit.hpp"
#include "encoding/audit_message.hpp"
#include "files/file_io.hpp"
#include "ftp/ftp_errors.hpp"
#include "ftp/remote_names.hpp"
#include "settings/ini_file.hpp"
#include "settings/settings_file.hpp"
#include "text/cp1252.hpp"

namespace quill::ftp {

namespace {

// An upload that failed names its file; the server's own text follows.
class EUploadFailed : public EFTPError {
public:
    EUploadFailed(const std::string& name, const std::string& reason)
        : EFTPError("Die Datei \"" + cp1252ToUtf8(name) + "\" konnte nicht hochgeladen werden:\r\n" + reason) {}
};

void saveFields(const RemoteRunFields& fields) {
    IniFile ini(settingsFilePath());
    ini.writeString(settings::kFtpSection, settings::kServerKey, fields.host);
    ini.writeString(settings::kFtpSection, settings::kUsernameKey, fields.user);
    ini.writeString(settings::kFtpSection, settings::kPasswordKey, fields.password);
    ini.writeString(settings::kFtpSection, settings::kFolderKey, fields.folder);
    ini.writeString(settings::kFtpSection, settings::kPassiveKey,
                    fields.passive ? settings::kPassiveYes : settings::kPassiveNo);
}

std::string refusedNamesMessage(const StringList& refused) {
    std::string text =
        "Folgende Dateinamen des Servers wurden nicht bearbeitet, weil sie aus dem Ordner \"FTP-Inhalt\" "
        "hinausführen würden oder leer sind:";
    for (const auto& name : refused) text += "\r\n\"" + cp1252ToUtf8(name) + "\"";
    return text;
}

void listMatchingNames(TFTPClient& client, const StringList& masks, StringList& fileBox, const RemoteRunView& view) {
    StringList refused;
    for (const auto& mask : masks) {
        for (auto& name : listNamesMatching(client, mask)) {
            if (isSafeRemoteName(name))
                fileBox.push_back(std::move(name));
            else
                refused.push_back(std::move(name));
        }
        view.refresh();
    }
    if (!refused.empty()) view.showMessage({OutcomeKind::Error, refusedNamesMessage(refused)});
}

// The audit of the copies, each hit named by its server file.
std::optional<RunOutcome> auditCopies(const StringList& fileBox, const StringList& copies) {
    std::vector<ReadableAddress> hits = auditFiles(copies);
    for (ReadableAddress& hit : hits) {
        const auto copy = std::find(copies.begin(), copies.end(), hit.path);
        hit.path = cp1252ToUtf8(fileBox[static_cast<std::size_t>(copy - copies.begin())]);
    }
    return readableAddressesOutcome(hits);
}

void uploadAll(TFTPClient& client, const StringList& fileBox) {
    for (const auto& name : fileBox) {
        try {
            client.Upload(localCopyPath(name), name, false);
        } catch (const QuillError& failure) {
            throw EUploadFailed(name, failure.what());
        }
    }
}

void runConnected(TFTPClient& client, RemoteRunFields& fields, const StringList& masks, EncodingRuns& runs,
                  StringList& fileBox, const RemoteRunView& view) {
    std::replace(fields.folder.begin(), fields.folder.end(), '\\', '/');
    view.refresh();
    if (!fields.folder.empty()) client.ChangeFolder(fields.folder);

    listMatchingNames(client, masks, fileBox, view);

    // A folder that cannot be made shows up as the first download's error.
    files::createFolder(remoteWorkFolder());
    for (const auto& name : fileBox) client.Download(name, localCopyPath(name), true, false);

    runs.Dateien_suchen(remoteWorkFolder() + "/*.*");
    const StringList found = runs.foundFiles;
    for (const auto& path : found) runs.Datei_scannen(path);

    StringList copies;
    copies.reserve(fileBox.size());
    for (const auto& name : fileBox) copies.push_back(localCopyPath(name));
    runs.Dateien_kodieren(copies);

    const RunOutcome outcome = runs.Ergebnis_melden();
    view.refresh();
    view.showMessage(outcome);
    // Seen before anything is uploaded.
    if (const auto audit = auditCopies(fileBox, copies)) view.showMessage(*audit);
    if (outcome.kind == OutcomeKind::Information) uploadAll(client, fileBox);

    for (const auto& copy : copies) files::removeFile(copy);
    client.Disconnect();
    runs.clearLists();
}

}  // namespace

std::string remoteWorkFolder() { return files::inCurrentFolder("FTP-Inhalt"); }

std::string localCopyPath(const std::string& remoteName) { return files::joinPath(remoteWorkFolder(), remoteName); }

void FTP_Go(TFTPClient& FTPGet, RemoteRunFields& fields, const StringList& masks, EncodingRuns& runs,
            StringList& fileBox, const RemoteRunView& view) {
    if (fields.host.empty() || fields.user.empty() || fields.password.empty()) {
        view.showMessage({OutcomeKind::Error, kMissingFieldsMessage});
        return;
    }
    saveFields(fields);
    fileBox.clear();
    view.refresh();

    FTPGet.Passive = fields.passive;
    FTPGet.Host = fields.host;
    FTPGet.Username = fields.user;
    FTPGet.Password = fields.password;
    try {
        FTPGet.Connect();
        runConnected(FTPGet, fields, masks, runs, fileBox, view);
    } catch (...) {
        // The next run then starts cleanly instead of with "Already connected.".
        FTPGet.Disconnect();
        throw;
    }
}

}  // namespace quill::ftp
