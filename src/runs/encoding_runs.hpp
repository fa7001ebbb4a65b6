#pragma once

#include <functional>
#include <string>

#include "encoding/found_addresses.hpp"
#include "runs/change_preview.hpp"
#include "runs/exception_list.hpp"
#include "runs/local_run.hpp"
#include "runs/run_outcome.hpp"
#include "runs/run_progress.hpp"
#include "text/string_list.hpp"

namespace quill {

// The lists the remote run works on step by step, as the local runs left
// them: the found-files list and the found-addresses list, with the steps of
// a local run over them. Its owner hands a copy to the run's thread.
class EncodingRuns {
public:
    StringList foundFiles;
    FoundAddresses foundAddresses;
    bool includeSubfolders = true;  // the state of Unterverz
    bool protectAll = false;        // the state of Alle_ja
    // Addresses and pages that stay readable: protectAll leaves them, the
    // audit does not count them.
    ExceptionList exceptions;
    // The name a rewritten path goes by for the exceptions (a copy's
    // original); the path itself when empty.
    std::function<std::string(const std::string&)> pageName;
    // Hears each page before it changes (the backup); none by default.
    std::function<void(const PageChange&)> beforeWrite;
    // Hears every step, file and new found text and may cancel; none by default.
    RunObserver* observer = nullptr;

    void clearLists();
    // Scans the files, in order; their found texts join the list.
    void scanFiles(const StringList& paths);
    // Applies every found text of the list to the given files, then, with
    // protectAll, encodes every other readable address in them too.
    void Dateien_kodieren(const StringList& paths);
    // scanFiles(scanned), then Dateien_kodieren(rewritten), in one run that
    // reads each page once.
    void scanAndEncode(const StringList& scanned, const StringList& rewritten);
    // The pages of the last Dateien_kodieren and their audit.
    const LocalRunResult& lastRewrite() const { return lastRewrite_; }
    // Success when a found text exists, or when the last Dateien_kodieren
    // encoded addresses by protectAll: the files did change. Pages it left
    // as they were for their encoding are named.
    RunOutcome Ergebnis_melden() const;
    // What Dateien_kodieren(paths) would change, each page once; nothing is
    // written and beforeWrite hears nothing.
    std::vector<PreviewFile> previewChanges(const StringList& paths) const;

private:
    LocalRunResult run(LocalRunParameters parameters);
    LocalRunResult lastRewrite_;
};

}  // namespace quill
