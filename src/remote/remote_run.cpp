#include "remote/remote_run.hpp"

#include <algorithm>
#include <memory>
#include <set>
#include <unordered_set>

#include "addresses/address_audit.hpp"
#include "runs/audit_message.hpp"
#include "files/file_io.hpp"
#include "remote/certificate_pins.hpp"
#include "net/ftp_errors.hpp"
#include "remote/remote_names.hpp"
#include "remote/remote_replace.hpp"
#include "settings/settings_file.hpp"
#include "text/cp1252.hpp"

namespace quill::ftp {

namespace {

// A failed upload names its file and tells what became of every page.
class EUploadFailed : public EFTPError {
public:
    explicit EUploadFailed(const std::string& message) : EFTPError(message) {}
};

std::string quotedNames(const StringList& names) {
    std::string text;
    for (const auto& name : names) text += (text.empty() ? "\"" : ", \"") + cp1252ToUtf8(name) + "\"";
    return text;
}

std::string withoutFinalLineEnd(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    return text;
}

std::string uploadFailureMessage(const StringList& fileBox, std::size_t failed, const EReplaceFailed& failure) {
    const StringList uploaded(fileBox.begin(), fileBox.begin() + static_cast<std::ptrdiff_t>(failed));
    StringList unchanged(fileBox.begin() + static_cast<std::ptrdiff_t>(failed) + 1, fileBox.end());
    const std::string& name = fileBox[failed];
    std::string text = "Die Datei \"" + cp1252ToUtf8(name) + "\" konnte nicht hochgeladen werden:\r\n" +
                       withoutFinalLineEnd(failure.what()) + "\r\n";
    if (!uploaded.empty()) text += "\r\nHochgeladen: " + quotedNames(uploaded);
    switch (failure.pageLeft()) {
        case PageLeft::Unchanged:
            unchanged.insert(unchanged.begin(), name);
            break;
        case PageLeft::Missing:
            text += "\r\nNicht hochgeladen und auf dem Server gelöscht: " + quotedNames({name});
            break;
        case PageLeft::MaybePartial:
            text += "\r\nNicht hochgeladen, auf dem Server vielleicht unvollständig: " + quotedNames({name});
            break;
    }
    if (!unchanged.empty()) text += "\r\nNicht hochgeladen, auf dem Server unverändert: " + quotedNames(unchanged);
    text += "\r\nDie kodierten Kopien der nicht hochgeladenen Dateien liegen im Ordner \"" + remoteWorkFolder() +
            "\".";
    return text;
}

std::string refusedNamesMessage(const StringList& refused) {
    std::string text =
        "Folgende Dateinamen des Servers wurden nicht bearbeitet, weil sie aus dem Ordner \"FTP-Inhalt\" "
        "hinausführen würden oder leer sind:";
    for (const auto& name : refused) text += "\r\n\"" + cp1252ToUtf8(name) + "\"";
    return text;
}

void listMatchingNames(remote::RemoteFolder& server, const StringList& masks, StringList& fileBox,
                       const RemoteRunView& view) {
    StringList refused;
    for (const auto& mask : masks) {
        server.list(mask, [&](remote::RemoteEntry&& entry) {
            // Left by an upload that broke off; never a page.
            if (isTemporaryUploadName(entry.name)) return;
            if (isSafeRemoteName(entry.name))
                fileBox.push_back(std::move(entry.name));
            else
                refused.push_back(std::move(entry.name));
        });
        view.refresh();
    }
    if (!refused.empty()) view.showMessage({OutcomeKind::Error, refusedNamesMessage(refused)});
}

// The audit of the copies, each hit named by its server file.
std::optional<RunOutcome> auditCopies(const StringList& fileBox, const StringList& copies,
                                      const ExceptionList& exceptions) {
    std::vector<ReadableAddress> hits = auditFiles(copies);
    for (ReadableAddress& hit : hits) {
        const auto copy = std::find(copies.begin(), copies.end(), hit.path);
        hit.path = cp1252ToUtf8(fileBox[static_cast<std::size_t>(copy - copies.begin())]);
    }
    return readableAddressesOutcome(splitByExceptions(std::move(hits), exceptions).counted);
}

std::string displayName(const std::string& remoteName) { return cp1252ToUtf8(remoteName); }

// Uploads every page; after a failure, only the copies of the pages not
// uploaded stay, for the user to upload by hand. A cancel waits for the
// upload under way, so no page is left half-written.
void uploadAll(remote::RemoteFolder& server, const StringList& fileBox, RunObserver* observer) {
    std::size_t i = 0;
    forEachItem(observer, RunStep::Uploading, fileBox, displayName, [&](const std::string&) {
        try {
            replaceRemoteFile(server, localCopyPath(fileBox[i]), fileBox[i]);
        } catch (const EReplaceFailed& failure) {
            const std::set<std::string> pending(fileBox.begin() + static_cast<std::ptrdiff_t>(i), fileBox.end());
            for (std::size_t done = 0; done < i; ++done) {
                if (pending.count(fileBox[done]) == 0) files::removeFile(localCopyPath(fileBox[done]));
            }
            throw EUploadFailed(uploadFailureMessage(fileBox, i, failure));
        }
        ++i;
    });
}

// A cancelled run ends as a finished one does, without its remaining steps:
// the copies go, both lists are emptied. Before the uploads the server is
// untouched, and that is what the user is told.
[[noreturn]] void endCancelled(const RunCancelled& cancelled, EncodingRuns& runs, const StringList& fileBox) {
    for (const auto& name : fileBox) files::removeFile(localCopyPath(name));
    runs.clearLists();
    if (cancelled.step() == RunStep::Uploading) throw cancelled;
    StringList notUploaded;
    for (const auto& name : fileBox) notUploaded.push_back(displayName(name));
    throw RunCancelled(RunStep::Uploading, 0, std::move(notUploaded));
}

// The copies just downloaded are the found files, each once: whatever else
// lies in the work folder (copies an earlier run kept) is not this run's.
void takeCopiesAsFound(const StringList& copies, EncodingRuns& runs) {
    RunObserver& observer = observerOrNone(runs.observer);
    observer.stepStarted(RunStep::Searching, 0);
    std::unordered_set<std::string> seen;
    for (const auto& copy : copies) {
        if (!seen.insert(copy).second) continue;
        runs.foundFiles.push_back(copy);
        observer.fileFound(copy);
    }
}

void runConnected(remote::RemoteFolder& server, RemoteRunFields& fields, const StringList& masks, EncodingRuns& runs,
                  StringList& fileBox, const RemoteRunView& view) {
    std::replace(fields.folder.begin(), fields.folder.end(), '\\', '/');
    view.refresh();
    if (!fields.folder.empty()) server.changeFolder(fields.folder);

    listMatchingNames(server, masks, fileBox, view);

    // A folder that cannot be made shows up as the first download's error.
    files::createFolder(remoteWorkFolder());
    forEachItem(runs.observer, RunStep::Downloading, fileBox, displayName,
                [&server](const std::string& name) { server.download(name, localCopyPath(name)); });
    StringList copies;
    copies.reserve(fileBox.size());
    for (const auto& name : fileBox) copies.push_back(localCopyPath(name));
    if (view.copiesReady) view.copiesReady(copies);

    takeCopiesAsFound(copies, runs);
    runs.scanFiles(runs.foundFiles);
    {
        // The exceptions judge a copy by its page's path on the server.
        runs.pageName = [&](const std::string& copy) {
            const auto at = std::find(copies.begin(), copies.end(), copy);
            if (at == copies.end()) return copy;
            const std::string& name = fileBox[static_cast<std::size_t>(at - copies.begin())];
            return cp1252ToUtf8(fields.folder.empty() ? name : files::joinPath(fields.folder, name));
        };
        const std::unique_ptr<EncodingRuns, void (*)(EncodingRuns*)> forget(
            &runs, [](EncodingRuns* r) { r->pageName = nullptr; });
        runs.Dateien_kodieren(copies);
    }

    const RunOutcome outcome = runs.Ergebnis_melden();
    view.refresh();
    view.showMessage(outcome);
    // Seen before anything is uploaded.
    if (const auto audit = auditCopies(fileBox, copies, runs.exceptions)) view.showMessage(*audit);
    if (outcome.kind == OutcomeKind::Information && view.uploadAfterReport) uploadAll(server, fileBox, runs.observer);

    for (const auto& copy : copies) files::removeFile(copy);
    server.disconnect();
    runs.clearLists();
}

}  // namespace

std::string remoteWorkFolder() { return files::inCurrentFolder("FTP-Inhalt"); }

std::string localCopyPath(const std::string& remoteName) { return files::joinPath(remoteWorkFolder(), remoteName); }

void FTP_Go(remote::RemoteFolder& server, RemoteRunFields& fields, const StringList& masks, EncodingRuns& runs,
            StringList& fileBox, const RemoteRunView& view) {
    if (fields.host.empty() || fields.user.empty() || fields.password.empty()) {
        view.showMessage({OutcomeKind::Error, kMissingFieldsMessage});
        return;
    }
    settings::SettingsFile().setFtp(fields);
    fileBox.clear();
    view.refresh();

    const remote::RemoteLogin login{fields.host, fields.user, fields.password, fields.passive, fields.tls,
                                    pinnedCertificateTrust(view.askQuestion)};
    try {
        server.connect(login);
        runConnected(server, fields, masks, runs, fileBox, view);
    } catch (const RunCancelled& cancelled) {
        server.disconnect();
        endCancelled(cancelled, runs, fileBox);
    } catch (...) {
        // The next run then starts cleanly instead of with "Already connected.".
        server.disconnect();
        throw;
    }
}

}  // namespace quill::ftp
