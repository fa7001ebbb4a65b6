#include "remote/remote_run.hpp"

#include <algorithm>
#include <memory>
#include <optional>
#include <set>
#include <unordered_map>
#include <unordered_set>

#include "addresses/address_audit.hpp"
#include "files/file_io.hpp"
#include "net/ftp_errors.hpp"
#include "remote/certificate_pins.hpp"
#include "remote/host_key_pins.hpp"
#include "remote/in_place_notes.hpp"
#include "remote/leftover_uploads.hpp"
#include "remote/remote_names.hpp"
#include "remote/remote_replace.hpp"
#include "remote/server_address.hpp"
#include "remote/site_pages.hpp"
#include "runs/audit_message.hpp"
#include "runs/backup_scope.hpp"
#include "runs/run_progress.hpp"
#include "settings/settings_file.hpp"
#include "text/cp1252.hpp"

namespace quill::ftp {

namespace {

// A failed upload names its file and tells what became of every page.
class EUploadFailed : public EFTPError {
public:
    explicit EUploadFailed(const std::string& message) : EFTPError(message) {}
};

// While alive, the server's transfers tell the observer how far the item in
// hand is, once per MB.
class ItemTransferProgress {
public:
    ItemTransferProgress(remote::RemoteFolder& server, RunObserver* observer) : server_(server), bytes_(observer) {
        server_.setTransferMeter([this](std::uint64_t done, std::uint64_t size) { bytes_(done, size); });
    }
    ~ItemTransferProgress() { server_.setTransferMeter({}); }
    ItemTransferProgress(const ItemTransferProgress&) = delete;
    ItemTransferProgress& operator=(const ItemTransferProgress&) = delete;

private:
    remote::RemoteFolder& server_;
    ItemBytes bytes_;
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
    text += "\r\nDie kodierten Kopien der nicht hochgeladenen Dateien liegen im Ordner \"" + remoteWorkFolder() + "\".";
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
    // A page that several masks match ("*.htm" and "*.html") is one page.
    std::unordered_set<std::string> listed;
    for (const auto& mask : masks) {
        server.list(mask, [&](remote::RemoteEntry&& entry) {
            // Left by an upload that broke off; never a page.
            if (isTemporaryUploadName(entry.name)) return;
            // Only files are pages: a link is not followed (its target would
            // become a file in its place), a folder or a device is none.
            if (entry.kind != remote::RemoteEntry::Kind::File && entry.kind != remote::RemoteEntry::Kind::Unknown)
                return;
            if (!listed.insert(entry.name).second) return;
            if (isSafeRemoteName(entry.name))
                fileBox.push_back(std::move(entry.name));
            else
                refused.push_back(std::move(entry.name));
        });
        view.refresh();
    }
    if (!refused.empty()) view.showMessage({OutcomeKind::Error, refusedNamesMessage(refused)});
}

// Each copy's page, found by its path in one lookup.
class CopiesOfPages {
public:
    CopiesOfPages(const std::vector<RemotePage>& pages, const StringList& copies) : pages_(pages) {
        for (std::size_t i = 0; i < copies.size(); ++i) index_.emplace(copies[i], i);
    }
    const RemotePage* pageOf(const std::string& copy) const {
        const auto at = index_.find(copy);
        return at == index_.end() ? nullptr : &pages_[at->second];
    }
    // The run's audit of the copies, each hit named by its page on the server.
    std::vector<ReadableAddress> audit(std::vector<ReadableAddress> hits) const {
        for (ReadableAddress& hit : hits) hit.path = cp1252ToUtf8(pageOf(hit.path)->serverPath());
        return hits;
    }

private:
    const std::vector<RemotePage>& pages_;
    std::unordered_map<std::string, std::size_t> index_;
};

std::string displayName(const std::string& remoteName) {
    return cp1252ToUtf8(remoteName);
}

// Changes into a page's server folder unless the run is there already.
class FolderSteps {
public:
    explicit FolderSteps(remote::RemoteFolder& server) : server_(server) {}
    void enter(const RemotePage& page) {
        if (page.folder.empty() || page.folder == current_) return;
        server_.changeFolder(page.folder);
        current_ = page.folder;
    }

private:
    remote::RemoteFolder& server_;
    std::string current_;
};

StringList pathsOf(const std::vector<RemotePage>& pages) {
    StringList paths;
    for (const auto& page : pages) paths.push_back(page.path);
    return paths;
}

std::string writtenInPlaceMessage(const StringList& pages) {
    return "Der Server nimmt keine Datei unter einem vorläufigen Namen an. Direkt überschrieben (während des "
           "Hochladens war die Seite auf dem Server unvollständig): " +
           quotedNames(pages);
}

// What interrupted runs left: temporary uploads on the server, and pages
// that were being written in place, whose kept copies go up now. Both are
// reported before anything else happens.
void finishInterruptedWork(remote::RemoteFolder& server, const ServerPlace& place, const RemoteRunView& view) {
    std::string text = leftoverUploadsMessage(settleLeftoverUploads(server));
    StringList finished;
    for (const auto& write : interruptedInPlaceWrites(remoteWorkFolder(), place)) {
        try {
            replaceRemoteFile(server, write.copyPath, write.page);
        } catch (const EReplaceFailed& failure) {
            throw EUploadFailed("Die Seite \"" + cp1252ToUtf8(write.page) +
                                "\" wurde beim letzten Lauf direkt überschrieben und dabei unterbrochen. Das "
                                "Nachholen ist gescheitert:\r\n" +
                                withoutFinalLineEnd(failure.what()) + "\r\nIhre kodierte Fassung liegt in \"" +
                                write.copyPath + "\".");
        }
        forgetInPlaceWrite(write);
        finished.push_back(write.page);
    }
    if (!finished.empty())
        text += std::string(text.empty() ? "" : "\r\n") +
                "Beim letzten Lauf unterbrochen, während sie direkt überschrieben wurden, und jetzt mit ihrer "
                "kodierten Fassung fertiggestellt: " +
                quotedNames(finished);
    if (!text.empty()) view.showMessage({OutcomeKind::Information, text});
}

// Uploads the pages, each in its own folder; after a failure, only the copies
// of the pages not uploaded stay, for the user to upload by hand. A cancel
// waits for the upload under way, so no page is left half-written. A page
// written in place keeps a copy and a note until its upload is confirmed.
void uploadAll(remote::RemoteFolder& server, const ServerPlace& start, const std::vector<RemotePage>& pages,
               RunObserver* observer, const RemoteRunView& view) {
    const StringList paths = pathsOf(pages);
    FolderSteps folders(server);
    std::size_t i = 0;
    StringList inPlace;
    forEachItem(observer, RunStep::Uploading, paths, displayName, [&](const std::string&) {
        try {
            folders.enter(pages[i]);
            ServerPlace place = start;
            if (!pages[i].folder.empty()) place.folder = pages[i].folder;
            std::optional<InPlaceWrite> note;
            const std::string copy = localCopyPath(paths[i]);
            const ItemTransferProgress metered(server, observer);
            const ReplaceStep step = replaceRemoteFile(server, copy, pages[i].name, [&] {
                note = noteInPlaceWrite(remoteWorkFolder(), place, pages[i].name, copy);
            });
            if (note) forgetInPlaceWrite(*note);
            if (step == ReplaceStep::PlainUpload) inPlace.push_back(paths[i]);
        } catch (const EReplaceFailed& failure) {
            const std::set<std::string> pending(paths.begin() + static_cast<std::ptrdiff_t>(i), paths.end());
            for (std::size_t done = 0; done < i; ++done) {
                if (pending.count(paths[done]) == 0) files::removeFile(localCopyPath(paths[done]));
            }
            throw EUploadFailed(uploadFailureMessage(paths, i, failure));
        }
        ++i;
    });
    if (!inPlace.empty()) view.showMessage({OutcomeKind::Information, writtenInPlaceMessage(inPlace)});
}

// A cancelled run ends as a finished one does, without its remaining steps:
// the copies go, both lists are emptied. Before the uploads the server is
// untouched, and that is what the user is told.
[[noreturn]] void endCancelled(const RunCancelled& cancelled, EncodingRuns& runs, const StringList& fileBox) {
    for (const auto& name : fileBox) files::removeFile(localCopyPath(name));
    std::vector<RemotePage> pages;
    for (const auto& path : fileBox) pages.push_back({path, {}, {}});
    removeEmptyCopyFolders(remoteWorkFolder(), pages);
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
        // The step names what it is doing, as every other step does.
        observer.progress(runs.foundFiles.size(), 0, copy);
    }
}

void runConnected(remote::RemoteFolder& server, RemoteRunFields& fields, const StringList& masks, EncodingRuns& runs,
                  StringList& fileBox, const RemoteRunView& view) {
    std::replace(fields.folder.begin(), fields.folder.end(), '\\', '/');
    view.refresh();
    if (!fields.folder.empty()) server.changeFolder(fields.folder);
    const ServerPlace place{fields.host, fields.user, fields.folder};
    finishInterruptedWork(server, place, view);

    std::vector<RemotePage> pages;
    std::size_t foldersListed = 0;
    if (fields.subfolders) {
        SitePages site = listSitePages(server, masks, runs.observer);
        pages = std::move(site.pages);
        foldersListed = site.folders;
        fileBox = pathsOf(pages);
        view.refresh();
    } else {
        listMatchingNames(server, masks, fileBox, view);
        for (const auto& name : fileBox) pages.push_back({name, {}, name});
    }

    // A folder that cannot be made shows up as the first download's error.
    files::createFolder(remoteWorkFolder());
    FolderSteps folders(server);
    std::size_t next = 0;
    forEachItem(runs.observer, RunStep::Downloading, fileBox, displayName, [&](const std::string& path) {
        const RemotePage& page = pages[next++];
        folders.enter(page);
        createCopyFolders(remoteWorkFolder(), path);
        const ItemTransferProgress metered(server, runs.observer);
        server.download(page.name, localCopyPath(path));
    });
    StringList copies;
    copies.reserve(fileBox.size());
    for (const auto& name : fileBox) copies.push_back(localCopyPath(name));
    if (view.copiesReady) {
        StringList serverPaths;
        for (const auto& page : pages) serverPaths.push_back(page.serverPath());
        view.copiesReady(copies, serverPaths);
    }

    takeCopiesAsFound(copies, runs);
    // A preview sits between the scan and the rewrite; without one, a single
    // run reads each copy once.
    const bool preview = static_cast<bool>(view.confirmChanges);
    if (preview) runs.scanFiles(runs.foundFiles);

    // The exceptions judge a copy, and the backup keeps it, by its page on the server.
    const CopiesOfPages copiesOfPages(pages, copies);
    runs.pageName = [&](const std::string& copy) {
        const RemotePage* page = copiesOfPages.pageOf(copy);
        if (page == nullptr) return copy;
        if (!page->folder.empty()) return cp1252ToUtf8(page->serverPath());
        return cp1252ToUtf8(fields.folder.empty() ? page->name : files::joinPath(fields.folder, page->name));
    };
    const std::unique_ptr<EncodingRuns, void (*)(EncodingRuns*)> forget(&runs,
                                                                        [](EncodingRuns* r) { r->pageName = nullptr; });

    if (preview) {
        std::vector<PreviewFile> changes = runs.previewChanges(copies);
        for (PreviewFile& change : changes) change.path = displayName(copiesOfPages.pageOf(change.path)->path);
        if (!view.confirmChanges(changes)) {
            for (const auto& copy : copies) files::removeFile(copy);
            removeEmptyCopyFolders(remoteWorkFolder(), pages);
            server.disconnect();
            runs.clearLists();
            return;
        }
    }

    std::optional<RunBackup> backup;
    if (!view.backupRoot.empty() && view.uploadAfterReport)
        backup.emplace(view.backupRoot, RunKind::Remote, fields.host, fields.folder);
    const BackupScope keeping(runs, backup, [&](const std::string& copy) {
        const RemotePage& page = *copiesOfPages.pageOf(copy);
        return KeptAs{page.serverPath(), remoteMirrorPath(fields.host, fields.folder, page.path)};
    });
    try {
        if (preview)
            runs.Dateien_kodieren(copies);
        else
            runs.scanAndEncode(runs.foundFiles, copies);

        RunOutcome outcome = runs.Ergebnis_melden();
        if (fields.subfolders && outcome.kind == OutcomeKind::Information)
            outcome.text += "\r\n" + std::to_string(foldersListed) + " Ordner durchsucht.";
        view.refresh();
        view.showMessage(outcome);
        // Seen before anything is uploaded.
        const std::vector<ReadableAddress> hits = copiesOfPages.audit(runs.lastRewrite().readable);
        if (view.audited) view.audited(hits);
        const std::vector<ReadableAddress> readable = splitByExceptions(hits, runs.exceptions).counted;
        if (backup) backup->readable(readableLines(readable));
        if (const auto audit = readableAddressesOutcome(readable)) view.showMessage(*audit);
        if (outcome.kind == OutcomeKind::Information && view.uploadAfterReport) {
            // Only a page whose bytes the rewrite changed goes back to the server.
            std::unordered_set<std::string> rewritten;
            for (const PageResult& page : runs.lastRewrite().pages)
                if (page.changed) rewritten.insert(page.path);
            std::vector<RemotePage> changed;
            for (std::size_t i = 0; i < pages.size(); ++i) {
                if (!fields.subfolders || rewritten.count(copies[i]) != 0)
                    changed.push_back(pages[i]);
                else
                    files::removeFile(copies[i]);  // nothing of it to upload, by hand either
            }
            uploadAll(server, place, changed, runs.observer, view);
        }
    } catch (const std::exception& failure) {
        if (backup) backup->failed(failure.what());
        throw;
    }

    for (const auto& copy : copies) files::removeFile(copy);
    removeEmptyCopyFolders(remoteWorkFolder(), pages);
    server.disconnect();
    runs.clearLists();
}

}  // namespace

std::string remoteWorkFolder() {
    return files::inCurrentFolder("FTP-Inhalt");
}

std::string localCopyPath(const std::string& remoteName) {
    return files::joinPath(remoteWorkFolder(), remoteName);
}

void FTP_Go(remote::RemoteFolder& server, RemoteRunFields& fields, const StringList& masks, EncodingRuns& runs,
            StringList& fileBox, const RemoteRunView& view) {
    // Over SFTP a key may log in without a password.
    if (fields.host.empty() || fields.user.empty() || (fields.password.empty() && !selectsSftp(fields.host))) {
        view.showMessage({OutcomeKind::Error, kMissingFieldsMessage});
        return;
    }
    if (view.saveFields) settings::SettingsFile().setFtp(fields);
    fileBox.clear();
    view.refresh();

    const remote::RemoteLogin login{fields.host,
                                    fields.user,
                                    fields.password,
                                    fields.passive,
                                    fields.tls,
                                    pinnedCertificateTrust(view.askQuestion),
                                    pinnedHostKeyTrust(view.askQuestion)};
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
