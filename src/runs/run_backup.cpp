#include "runs/run_backup.hpp"

#include <fcntl.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "files/file_io.hpp"
#include "files/folder_lock.hpp"
#include "files/regular_file.hpp"
#include "files/rewrite_batch.hpp"
#include "text/hex_text.hpp"

namespace quill {

namespace fs = std::filesystem;

namespace {

constexpr const char* kIndexName = "Inhalt.qmk";
constexpr const char* kUndoneName = "Rückgängig.txt";

std::string timeText(std::time_t when, const char* format) {
    std::tm local{};
    localtime_r(&when, &local);
    char text[64];
    std::strftime(text, sizeof text, format, &local);
    return text;
}

// Index fields hold any bytes but tabs and line breaks.
std::string escaped(std::string_view text) {
    std::string out;
    for (const char c : text) {
        if (c == '%' || c == '\t' || c == '\n' || c == '\r') {
            const auto byte = static_cast<unsigned char>(c);
            out += "%" + hexText(&byte, 1, HexLetters::Upper);
        } else {
            out += c;
        }
    }
    return out;
}

std::string unescaped(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const int high = i + 2 < text.size() ? hexDigitValue(text[i + 1]) : -1;
        const int low = i + 2 < text.size() ? hexDigitValue(text[i + 2]) : -1;
        if (text[i] == '%' && high >= 0 && low >= 0) {
            out += static_cast<char>(high * 16 + low);
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::vector<std::string> fields(const std::string& line) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (std::size_t tab = line.find('\t'); tab != std::string::npos; tab = line.find('\t', start)) {
        parts.push_back(unescaped(std::string_view(line).substr(start, tab - start)));
        start = tab + 1;
    }
    parts.push_back(unescaped(std::string_view(line).substr(start)));
    return parts;
}

files::Descriptor openForAppending(const std::string& path) {
    files::Descriptor fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0666));
    if (!fd.valid()) throw files::FileCreateError(files::createErrorText(path, errno));
    return fd;
}

void appendTo(const files::Descriptor& fd, const std::string& path, const std::string& text) {
    if (!files::writeAll(fd.get(), text.data(), text.size()))
        throw files::FileCreateError(files::createErrorText(path, errno ? errno : EIO));
}

void appendTo(const std::string& path, const std::string& text) {
    appendTo(openForAppending(path), path, text);
}

// "." and ".." and empty pieces never reach the mirror as folder steps.
std::string safeRelative(const std::string& path) {
    std::string out;
    std::size_t start = 0;
    while (start <= path.size()) {
        const std::size_t slash = std::min(path.find('/', start), path.size());
        std::string piece = path.substr(start, slash - start);
        if (piece == "." || piece == "..") piece = "_" + piece;
        if (!piece.empty()) out += (out.empty() ? "" : "/") + piece;
        start = slash + 1;
    }
    return out;
}

}  // namespace

const char* kindWord(RunKind kind) {
    return kind == RunKind::Remote ? "FTP" : "lokal";
}

std::string backupsFolder() {
    return files::inCurrentFolder(kBackupsFolderName);
}

std::string localMirrorPath(const std::string& path) {
    std::error_code error;
    const fs::path absolute = fs::absolute(path, error).lexically_normal();
    return safeRelative(error ? path : absolute.string());
}

std::string remoteMirrorPath(const std::string& host, const std::string& folder, const std::string& name) {
    return safeRelative(host + "/" + folder + "/" + name);
}

RunBackup::RunBackup(std::string root, RunKind kind, std::string place, std::string serverFolder, std::time_t started)
    : root_(std::move(root)),
      kind_(kind),
      place_(std::move(place)),
      serverFolder_(std::move(serverFolder)),
      started_(started) {}

void RunBackup::open() {
    const std::string stamp = timeText(started_, "%Y-%m-%d_%H-%M-%S");
    std::error_code error;
    fs::create_directories(root_, error);
    for (int n = 1;; ++n) {
        const fs::path candidate = fs::path(root_) / (n == 1 ? stamp : stamp + "_" + std::to_string(n));
        if (fs::create_directory(candidate, error)) {
            folder_ = candidate.string();
            break;
        }
        if (error) throw files::FileCreateError(files::createErrorText(candidate.string(), error.value()));
    }
    index_ = openForAppending(indexPath());
    log_ = openForAppending(logPath());
    appendIndex(std::string("Art\t") + kindWord(kind_));
    appendIndex("Ort\t" + escaped(place_));
    if (kind_ == RunKind::Remote) appendIndex("Serverordner\t" + escaped(serverFolder_));
    appendLog("Protokoll des Laufs vom " + timeText(started_, "%d.%m.%Y %H:%M:%S") + "\n" +
              "Art: " + (kind_ == RunKind::Remote ? "FTP-Server" : "lokale Dateien") + "\n" +
              (kind_ == RunKind::Remote ? "Server: " + place_ + ", Ordner: " + serverFolder_ : "Ordner: " + place_) +
              "\n" + "Sicherung: " + folder_ +
              "\n\nGeänderte Dateien (alte → neue Größe in Bytes, ersetzte Stellen):\n");
}

std::string RunBackup::indexPath() const {
    return (fs::path(folder_) / kIndexName).string();
}
std::string RunBackup::logPath() const {
    return (fs::path(folder_) / kRunLogName).string();
}

void RunBackup::appendLog(const std::string& text) const {
    appendTo(log_, logPath(), text);
}

void RunBackup::appendIndex(const std::string& line) const {
    appendTo(index_, indexPath(), line + "\n");
}

void RunBackup::makeFolder(const fs::path& folder) {
    if (!madeFolders_.insert(folder.string()).second) return;
    std::error_code error;
    fs::create_directories(folder, error);
}

std::string RunBackup::firstPlace(const std::string& target, const std::string& mirrorPath) {
    if (!exists()) open();
    if (!kept_.insert(target).second) return {};
    const fs::path original = fs::path(folder_) / mirrorPath;
    makeFolder(original.parent_path());
    return original.string();
}

RunBackup::Lines RunBackup::linesFor(const std::string& target, const std::string& mirrorPath, std::size_t beforeSize,
                                     std::string_view after, std::size_t places) {
    return {sha256Hex(after) + "\t" + escaped(mirrorPath) + "\t" + escaped(target) + "\n",
            target + ": " + std::to_string(beforeSize) + " → " + std::to_string(after.size()) + ", " +
                std::to_string(places) + (places == 1 ? " Stelle\n" : " Stellen\n")};
}

void RunBackup::keep(const std::string& target, const std::string& mirrorPath, std::string_view before,
                     std::string_view after, std::size_t places) {
    const std::string original = firstPlace(target, mirrorPath);
    if (!original.empty()) files::replaceFileContents(original, before);
    const Lines lines = linesFor(target, mirrorPath, before.size(), after, places);
    appendTo(index_, indexPath(), lines.index);
    appendLog(lines.log);
}

std::string RunBackup::placeFor(const std::string& target, const std::string& mirrorPath, std::size_t beforeSize,
                                std::string_view after, std::size_t places) {
    std::string original = firstPlace(target, mirrorPath);
    waiting_.push_back({target, original, linesFor(target, mirrorPath, beforeSize, after, places)});
    return original;
}

void RunBackup::commitKept(files::RewriteBatch& pages) {
    if (!exists()) return;
    Lines lines;
    for (const Waiting& waiting : std::exchange(waiting_, {})) {
        if (!waiting.keptAt.empty() && !pages.keepsAt(waiting.keptAt)) {
            kept_.erase(waiting.target);  // not kept after all
            continue;
        }
        lines.index += waiting.lines.index;
        lines.log += waiting.lines.log;
    }
    appendTo(index_, indexPath(), lines.index);
    appendLog(lines.log);
    pages.syncWith(index_.get(), indexPath());
    pages.syncWith(log_.get(), logPath());
}

void RunBackup::failed(const std::string& message) {
    if (exists()) appendLog("\nFehler: " + message + "\n");
}

void RunBackup::readable(const std::vector<std::string>& lines) {
    if (!exists()) return;
    std::string text = "\nNoch lesbare E-Mail-Adressen: " + std::to_string(lines.size()) + "\n";
    for (const auto& line : lines) text += line + "\n";
    appendLog(text);
}

std::vector<KeptRun> keptRuns(const std::string& root) {
    std::vector<KeptRun> runs;
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(root, error)) {
        std::ifstream index(entry.path() / kIndexName, std::ios::binary);
        if (!index) continue;
        KeptRun run;
        run.name = entry.path().filename().string();
        run.folder = entry.path().string();
        run.undone = fs::exists(entry.path() / kUndoneName, error);
        for (std::string line; std::getline(index, line);) {
            const std::vector<std::string> parts = fields(line);
            if (parts.size() == 2 && parts[0] == "Art") {
                run.kind = parts[1] == "FTP" ? RunKind::Remote : RunKind::Local;
            } else if (parts.size() == 2 && parts[0] == "Ort") {
                run.place = parts[1];
            } else if (parts.size() == 2 && parts[0] == "Serverordner") {
                run.serverFolder = parts[1];
            } else if (parts.size() == 3) {
                const auto same = std::find_if(run.files.begin(), run.files.end(),
                                               [&](const KeptFile& file) { return file.target == parts[2]; });
                if (same != run.files.end())
                    same->writtenHash = parts[0];
                else
                    run.files.push_back({parts[2], (entry.path() / parts[1]).string(), parts[0]});
            }
        }
        runs.push_back(std::move(run));
    }
    // The names are times, so their order is the runs' order.
    std::sort(runs.begin(), runs.end(), [](const KeptRun& a, const KeptRun& b) { return a.name > b.name; });
    return runs;
}

std::string leftAloneReason(std::string_view current, std::string_view original) {
    // A page whose replace failed during the run still holds its original.
    return current == original ? ": hat schon den alten Inhalt" : ": seit dem Lauf geändert";
}

UndoResult undoLocalRun(const KeptRun& run) {
    UndoResult result;
    std::vector<std::string> targets;
    for (const KeptFile& file : run.files) targets.push_back(file.target);
    // As a run does: no other run in these folders meanwhile, and a file is
    // replaced only while it still holds what was checked.
    const files::FolderLocks locks(targets);
    for (const KeptFile& file : run.files) {
        if (!files::fileExists(file.target)) {
            result.leftAlone.push_back(file.target + ": nicht mehr vorhanden");
            continue;
        }
        // A batch that failed names pages it did not replace, without their originals.
        if (!files::fileExists(file.original)) {
            result.leftAlone.push_back(file.target + ": Sicherung fehlt");
            continue;
        }
        files::FileStamp read;
        const std::string current = files::readWholeFile(file.target, &read);
        std::string original = files::readWholeFile(file.original);
        if (sha256Hex(current) != file.writtenHash) {
            result.leftAlone.push_back(file.target + leftAloneReason(current, original));
            continue;
        }
        try {
            files::RewriteBatch batch;
            batch.stage(file.target, std::move(original), std::nullopt, &read);
            batch.commit();
        } catch (const files::FileChangedError&) {
            result.leftAlone.push_back(file.target + ": seit dem Lauf geändert");
            continue;
        }
        result.restored.push_back(file.target);
    }
    recordUndo(run, result);
    return result;
}

void recordUndo(const KeptRun& run, const UndoResult& result) {
    const std::string report =
        "Rückgängig gemacht am " + timeText(std::time(nullptr), "%d.%m.%Y %H:%M:%S") + "\n" + undoReport(result) + "\n";
    appendTo((fs::path(run.folder) / kUndoneName).string(), report);
    appendTo((fs::path(run.folder) / kRunLogName).string(), "\n" + report);
}

std::string undoReport(const UndoResult& result) {
    std::string text = "Wiederhergestellt: " + std::to_string(result.restored.size()) +
                       (result.restored.size() == 1 ? " Datei" : " Dateien");
    for (const auto& file : result.restored) text += "\n  " + file;
    if (!result.leftAlone.empty()) {
        text += "\nNicht angetastet, weil nicht mehr so, wie der Lauf sie schrieb:";
        for (const auto& file : result.leftAlone) text += "\n  " + file;
    }
    return text;
}

}  // namespace quill
