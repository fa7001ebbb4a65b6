#include "encoding/encoding_runs.hpp"

#include "encoding/audit_message.hpp"
#include "encoding/file_rewrite.hpp"
#include "encoding/folder_search.hpp"
#include "text/cp1252.hpp"

namespace quill {

EncodingRuns::EncodingRuns() {
    Parser.OnKeyFound = [this](THTMLParser& sender, const std::string& key, const std::string& results,
                               const std::string& originalLine) { ParserKeyFound(sender, key, results, originalLine); };
}

void EncodingRuns::clearLists() {
    foundFiles.clear();
    foundAddresses.clear();
}

void EncodingRuns::ParserKeyFound(THTMLParser&, const std::string&, const std::string& Results, const std::string&) {
    if (!Adresse_vorhanden(Results, foundAddresses)) foundAddresses.add(Results);
}

void EncodingRuns::Datei_scannen(const std::string& path) {
    Parser.ClearKeys();
    for (const char* tag : kMailtoOpenTags) Parser.AddKey("mailto", tag, "<", 0);
    Parser.setFileName(path);
    Parser.ParseFile();
}

void EncodingRuns::Dateien_suchen(const std::string& pathWithMask) {
    quill::Dateien_suchen(pathWithMask, includeSubfolders, foundFiles);
}

void EncodingRuns::Dateien_kodieren(const StringList& paths) {
    protectedByOption_ = false;
    protectedByOption_ = quill::Dateien_kodieren(paths, foundAddresses.items(), protectAll);
}

RunOutcome EncodingRuns::Ergebnis_melden() const {
    if (!foundAddresses.empty() || protectedByOption_) return {OutcomeKind::Information, "Die E-Mail-Adressen wurden erfolgreich kodiert!"};
    return {OutcomeKind::Error, "Es wurden keine unkodierten E-Mail-Adressen gefunden!"};
}

std::optional<RunOutcome> EncodingRuns::auditOutcome(const StringList& paths) {
    return readableAddressesOutcome(auditFiles(paths));
}

void EncodingRuns::searchFolder(const std::string& folder, const StringList& masks) {
    for (const auto& mask : masks) Dateien_suchen(folder + "/" + cp1252ToUtf8(mask));
}

RunOutcome EncodingRuns::encodeFoundFiles() {
    const StringList files = foundFiles;
    for (const auto& path : files) Datei_scannen(path);
    Dateien_kodieren(files);
    return Ergebnis_melden();
}

RunOutcome EncodingRuns::encodeChosenFiles(const StringList& chosen) {
    foundFiles.insert(foundFiles.end(), chosen.begin(), chosen.end());
    for (const auto& path : chosen) Datei_scannen(path);
    Dateien_kodieren(chosen);
    return Ergebnis_melden();
}

}  // namespace quill
