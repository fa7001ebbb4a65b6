#include "runs/encoding_runs.hpp"

#include <algorithm>

#include "runs/audit_message.hpp"
#include "runs/file_rewrite.hpp"
#include "runs/folder_search.hpp"
#include "files/file_io.hpp"
#include "files/rewrite_journal.hpp"
#include "text/cp1252.hpp"

namespace quill {

EncodingRuns::EncodingRuns() {
    Parser.OnKeyFound = [this](THTMLParser& sender, const std::string& key, const std::string& results,
                               const std::string& originalLine) { ParserKeyFound(sender, key, results, originalLine); };
    Parser.SkipRawText = true;
}

void EncodingRuns::clearLists() {
    foundFiles.clear();
    foundAddresses.clear();
}

void EncodingRuns::ParserKeyFound(THTMLParser&, const std::string&, const std::string& Results, const std::string&) {
    if (Adresse_vorhanden(Results, foundAddresses)) return;
    foundAddresses.add(Results);
    observerOrNone(observer).addressAdded(Results);
}

void EncodingRuns::Datei_scannen(const std::string& path) {
    Parser.ClearKeys();
    for (const char* tag : kMailtoOpenTags) Parser.AddKey("mailto", tag, "<");
    Parser.setFileName(path);
    Parser.ParseFile();
}

void EncodingRuns::Dateien_suchen(const std::string& pathWithMask) {
    quill::Dateien_suchen(pathWithMask, includeSubfolders, foundFiles, observer);
}

void EncodingRuns::scanFiles(const StringList& paths) {
    // A rewrite that a kill interrupted is finished before its file is read.
    files::finishInterruptedRewrites();
    forEachItem(observer, RunStep::Scanning, withoutRepeats(paths), [](const std::string& path) { return path; },
                [&](const std::string& path) { Datei_scannen(path); });
}

void EncodingRuns::Dateien_kodieren(const StringList& paths) {
    lastRewrite_ = {};
    lastRewrite_ =
        quill::Dateien_kodieren(paths, foundAddresses.items(), {protectAll, &exceptions, pageName, observer, beforeWrite});
}

RunOutcome EncodingRuns::Ergebnis_melden() const {
    const std::string note = unreadablePagesNote(lastRewrite_.unreadable);
    if (!foundAddresses.empty() || lastRewrite_.protectedAny)
        return {OutcomeKind::Information, "Die E-Mail-Adressen wurden erfolgreich kodiert!" + note};
    return {OutcomeKind::Error, "Es wurden keine unkodierten E-Mail-Adressen gefunden!" + note};
}

std::optional<RunOutcome> EncodingRuns::auditOutcome(const StringList& paths) const {
    return readableAddressesOutcome(splitByExceptions(auditFiles(paths), exceptions).counted);
}

void EncodingRuns::searchFolder(const std::string& folder, const StringList& masks) {
    observerOrNone(observer).stepStarted(RunStep::Searching, 0);
    StringList skipped;
    for (const auto& mask : masks)
        quill::Dateien_suchen(folder + "/" + cp1252ToUtf8(mask), includeSubfolders, foundFiles, observer, &skipped);
    // Each place once, though every mask walked past it.
    StringList unique;
    for (auto& entry : skipped)
        if (std::find(unique.begin(), unique.end(), entry) == unique.end()) unique.push_back(std::move(entry));
    throwIfSkipped(unique);
}

RunOutcome EncodingRuns::encodeFoundFiles() {
    const StringList files = foundFiles;
    scanFiles(files);
    Dateien_kodieren(files);
    return Ergebnis_melden();
}

RunOutcome EncodingRuns::encodeChosenFiles(const StringList& given) {
    // A chosen link is resolved here, once: the run never follows one.
    StringList chosen;
    for (const auto& path : given) chosen.push_back(files::linkFreePath(path));
    foundFiles.insert(foundFiles.end(), chosen.begin(), chosen.end());
    foundFiles = withoutRepeats(foundFiles);
    scanFiles(chosen);
    Dateien_kodieren(chosen);
    return Ergebnis_melden();
}

}  // namespace quill
