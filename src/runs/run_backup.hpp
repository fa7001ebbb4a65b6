#pragma once

#include <cstddef>
#include <ctime>
#include <filesystem>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "files/content_hash.hpp"
#include "files/descriptor.hpp"
#include "files/rewrite_batch.hpp"

namespace quill {

enum class RunKind { Local, Remote };
// "lokal" or "FTP", as the index stores the kind and the command line shows it.
const char* kindWord(RunKind kind);

// "Sicherungen" in the data folder (the working folder).
inline constexpr const char* kBackupsFolderName = "Sicherungen";
inline constexpr const char* kRunLogName = "Protokoll.txt";
std::string backupsFolder();

// The originals of one run and its log. Nothing is written until the first
// file is about to change; then "<root>/<JJJJ-MM-TT_hh-mm-ss>" is made (with
// "_2", "_3"… when that is taken), each original goes there as a mirror of
// its path, and the index and "Protokoll.txt" grow with the originals kept,
// so a run that breaks off still leaves what it changed restorable.
class RunBackup {
public:
    // place: the folder of a local run, or the server of a remote one with
    // the server folder its pages are in.
    RunBackup(std::string root, RunKind kind, std::string place, std::string serverFolder = {},
              std::time_t started = std::time(nullptr));
    RunBackup(const RunBackup&) = delete;
    RunBackup& operator=(const RunBackup&) = delete;

    // Before target first changes: its original bytes go to mirrorPath
    // (relative, "/" separated) and the log names it with its old and new
    // size and places replaced. A later change of the same target only
    // records its new bytes. Raises the file errors when the backup cannot
    // be written, so the file is not changed unbacked.
    void keep(const std::string& target, const std::string& mirrorPath, std::string_view before, std::string_view after,
              std::size_t places);
    // The same for a page that a files::RewriteBatch is about to replace:
    // returns where the batch is to keep the original (empty when target was
    // kept already), and its lines wait for commitKept().
    std::string placeFor(const std::string& target, const std::string& mirrorPath, std::size_t beforeSize,
                         std::string_view after, std::size_t places);
    // Writes the lines that wait, but those of originals pages does not
    // hold (their pages were never staged), and has pages sync them with its
    // files, so they last as the originals do; raises the file errors.
    void commitKept(files::RewriteBatch& pages);
    // A failure that ended the run, and the audit's full list of what stays
    // readable; both only go into a backup that exists.
    void failed(const std::string& message);
    void readable(const std::vector<std::string>& lines);

    bool exists() const { return !folder_.empty(); }
    const std::string& folder() const { return folder_; }

private:
    void open();
    void makeFolder(const std::filesystem::path& folder);
    std::string indexPath() const;
    std::string logPath() const;
    void appendLog(const std::string& text) const;
    void appendIndex(const std::string& line) const;
    // The original's path the first time target changes, else empty.
    std::string firstPlace(const std::string& target, const std::string& mirrorPath);
    struct Lines {
        std::string index;
        std::string log;
    };
    static Lines linesFor(const std::string& target, const std::string& mirrorPath, std::size_t beforeSize,
                          std::string_view after, std::size_t places);

    std::string root_;
    RunKind kind_;
    std::string place_;
    std::string serverFolder_;
    std::time_t started_;
    std::string folder_;
    files::Descriptor index_;  // both open for appending once folder_ is made
    files::Descriptor log_;
    std::unordered_set<std::string> kept_;
    std::unordered_set<std::string> madeFolders_;
    struct Waiting {
        std::string target;
        std::string keptAt;  // the original's place the first time target changes
        Lines lines;
    };
    std::vector<Waiting> waiting_;  // the lines of placed originals
};

// The mirror of a local file: its absolute path without the leading "/".
std::string localMirrorPath(const std::string& path);
// The mirror of a server page: host, folder and name, with "." and ".."
// taken as plain names so nothing leaves the backup.
std::string remoteMirrorPath(const std::string& host, const std::string& folder, const std::string& name);

// A run as the backups folder keeps it.
struct KeptFile {
    std::string target;       // the local path or the server name
    std::string original;     // the kept original's path
    std::string writtenHash;  // SHA-256 of the bytes the run wrote last
};
struct KeptRun {
    std::string name;  // the folder's name: the run's time
    std::string folder;
    RunKind kind = RunKind::Local;
    std::string place;
    std::string serverFolder;  // remote runs: where the pages are
    std::vector<KeptFile> files;
    bool undone = false;
};

// Every kept run under root, newest first; folders without an index are passed over.
std::vector<KeptRun> keptRuns(const std::string& root);

// What an undo did: restored files and those left alone, each with why.
struct UndoResult {
    std::vector<std::string> restored;
    std::vector<std::string> leftAlone;  // "PFAD: Grund"
};

// Restores every file of a local run that still holds exactly the bytes the
// run wrote; others are named and left alone. Marks the run as undone and
// adds the result to its log.
UndoResult undoLocalRun(const KeptRun& run);
// Why undo leaves a page alone that no longer holds what the run wrote, as
// the text after its name: it holds its original again, or it was changed.
std::string leftAloneReason(std::string_view current, std::string_view original);
// Marks a run as undone and logs the result (also for remote undo).
void recordUndo(const KeptRun& run, const UndoResult& result);

// The report of an undo for a message box or the terminal (UTF-8, "\r\n"-free lines joined by "\n").
std::string undoReport(const UndoResult& result);

}  // namespace quill
