#pragma once

#include <optional>
#include <string>

#include "encoding/found_addresses.hpp"
#include "encoding/mailto_scanner.hpp"
#include "runs/exception_list.hpp"
#include "runs/file_rewrite.hpp"
#include "runs/run_outcome.hpp"
#include "runs/file_rewrite.hpp"
#include "runs/run_progress.hpp"
#include "text/string_list.hpp"

namespace quill {

// The working state the local runs and the remote run share: the found-files
// list, the found-addresses list and the scanner, with the procedures on them.
// Windows show the lists; a failure leaves the lists as far as they got.
class EncodingRuns {
public:
    EncodingRuns();
    EncodingRuns(const EncodingRuns&) = delete;
    EncodingRuns& operator=(const EncodingRuns&) = delete;

    StringList foundFiles;          // shown in Dateien_gefunden
    FoundAddresses foundAddresses;  // shown in EMail_gefunden
    bool includeSubfolders = true;  // the state of Unterverz
    bool protectAll = false;        // the state of Alle_ja
    // Addresses and pages that stay readable: protectAll leaves them, the
    // audit does not count them.
    ExceptionList exceptions;
    // The name a rewritten path goes by for the exceptions (a copy's
    // original); the path itself when empty.
    std::function<std::string(const std::string&)> pageName;
    // Hears each file before it changes (the backup); none by default.
    std::function<void(const FileChange&)> beforeWrite;
    THTMLParser Parser;
    // Hears every step, file and new found text of the runs and may cancel
    // them; none by default. The remote run uses it too.
    RunObserver* observer = nullptr;

    void clearLists();

    // Appends Results unless the found-addresses list already holds it.
    void ParserKeyFound(THTMLParser& Sender, const std::string& Key, const std::string& Results,
                        const std::string& OriginalLine);
    // Loads the four mailto keys and scans the file (twice for a new path).
    void Datei_scannen(const std::string& path);
    // folder + "/" + mask (UTF-8); see folder_search.hpp.
    void Dateien_suchen(const std::string& pathWithMask);
    // Datei_scannen for every path, in order (the scanning step).
    void scanFiles(const StringList& paths);
    // Applies every found text of the list to the given files, then, with
    // protectAll, encodes every other readable address in them too.
    void Dateien_kodieren(const StringList& paths);
    // Success when a found text exists, or when the last Dateien_kodieren
    // encoded addresses by protectAll: the files did change. Pages it left
    // as they were for their encoding are named.
    RunOutcome Ergebnis_melden() const;
    // The box that follows the closing message when addresses stay readable
    // in the given files, those the exceptions accept left out.
    std::optional<RunOutcome> auditOutcome(const StringList& paths) const;

    // One full walk per mask (masks are code page 1252 text), in list order.
    void searchFolder(const std::string& folder, const StringList& masks);
    // "Verzeichnis kodieren": scan every found file, encode them all, report.
    RunOutcome encodeFoundFiles();
    // "Datei(en) auswählen und kodieren": append the chosen files, scan them,
    // encode only them (with every found text, earlier ones too), report.
    RunOutcome encodeChosenFiles(const StringList& chosen);

private:
    RewriteResult lastRewrite_;
};

// The four letter-case spellings of the open tag the runs look for.
inline constexpr const char* kMailtoOpenTags[] = {"a href=\"mailto:", "a HREF=\"mailto:", "A href=\"mailto:",
                                                  "A HREF=\"mailto:"};

}  // namespace quill
