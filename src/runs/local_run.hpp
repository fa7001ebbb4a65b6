#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "addresses/address_audit.hpp"
#include "runs/exception_list.hpp"
#include "runs/run_outcome.hpp"
#include "runs/run_progress.hpp"
#include "text/string_list.hpp"

namespace quill::files {
class RewriteBatch;
}

namespace quill {

// One page the run is about to change: its bytes before and after.
struct PageChange {
    std::size_t index;  // in LocalRunResult::pages
    const std::string& path;
    std::string_view before;
    std::string_view after;
    std::size_t places;  // places replaced, those of protectAll included
};

// Where a caller may step in before pages are written (backups, previews,
// the command line's diffs). Called on the thread that does the run; an
// exception ends the run as a failure there, the pages before it written.
struct RewriteHooks {
    // Once, before the first page of the run is written.
    std::function<void()> beforeFirstWrite;
    // For every page whose bytes change, before it is written.
    std::function<void(const PageChange&)> beforeWrite;
    // For every page whose bytes change, as it is written: where the file it
    // replaces is to be kept (files::RewriteBatch::stage); empty keeps none.
    std::function<std::string(const PageChange&)> keepReplacedAt;
    // Before the pages written so far are put in place (once per batch, and
    // for the pages before a failure), with the batch that puts them.
    std::function<void(files::RewriteBatch&)> beforeCommit;
};

// What a local encoding run works on. The run keeps its own copy: nothing of
// the caller's is changed while it goes on.
struct LocalRunParameters {
    // Scanned in order; what the scan finds joins foundTexts.
    StringList scanned;
    // Rewritten in order with every found text, then audited.
    StringList rewritten;
    // The found-addresses list before the run (left from earlier runs).
    StringList foundTexts;
    // "Alle E-Mail-Adressen schützen": every other readable address too.
    bool protectAll = false;
    // Addresses and pages that protectAll leaves readable.
    ExceptionList exceptions;
    // The name a rewritten page goes by for the exceptions (a copy's
    // original); its path when empty.
    std::function<std::string(const std::string&)> pageName;
    // A page missing at the scan fails the run (the command line) instead of
    // being passed over (the window, as the scanner does).
    bool missingPageFails = false;
    // Rewrites that a killed run left are finished before the first page is
    // read; a trial over copies leaves them to a real run.
    bool finishInterruptedRewrites = true;
    // Hears the steps, files and found texts, and may cancel; none by default.
    RunObserver* observer = nullptr;
    RewriteHooks hooks;
    // A preview: every change is made in memory and heard (hooks.beforeWrite),
    // none is written, no folder is locked.
    bool writeNothing = false;

    // A folder or file run: files scanned and rewritten alike.
    static LocalRunParameters over(const StringList& files) {
        LocalRunParameters parameters;
        parameters.scanned = files;
        parameters.rewritten = files;
        return parameters;
    }
};

// A page left as it was because its encoding cannot be read.
struct UnreadablePage {
    std::string path;
    std::string encoding;  // as the page names it
};

// One page of LocalRunParameters::rewritten, repeats left out.
struct PageResult {
    std::string path;
    std::size_t places = 0;  // places replaced, those of protectAll included
    std::size_t oldSize = 0;
    std::size_t newSize = 0;
    bool changed = false;  // its bytes differ
    bool written = false;  // the run wrote it (also when unchanged)
};

struct LocalRunResult {
    std::vector<PageResult> pages;
    // The found-addresses list after the run: the given texts, then the new.
    StringList foundTexts;
    // "Die E-Mail-Adressen wurden erfolgreich kodiert!" or the error box's text.
    RunOutcome outcome;
    // protectAll changed a page.
    bool protectedByOption = false;
    // Named in the closing message.
    std::vector<UnreadablePage> unreadable;
    // The addresses still readable in the rewritten pages as the run left
    // them, in list order (a page listed twice counts once), each named by
    // its path; the exceptions not yet applied.
    std::vector<ReadableAddress> readable;

    // The box that follows the closing one, when addresses stay readable
    // that the exceptions do not accept.
    std::optional<RunOutcome> auditOutcome(const ExceptionList& exceptions = {}) const;
};

// Scans, rewrites and audits: each page is read from disk once (pages beyond
// a memory budget kept between scan and rewrite are read again), the new
// bytes are audited as they are written, and only one page's old and new
// bytes are held at a time. A page listed twice is scanned and rewritten
// once. The rewrite locks the pages' folders (files::FolderLocks) and
// replaces no page that changed since it was read. A failure ends the run
// where it arises (pages before it keep their changes) and a cancel between
// two pages raises RunCancelled; in both cases the observer has heard every
// found text. A page in an encoding iconv cannot read is left as it is,
// audited, and named in the result.
LocalRunResult runLocalEncoding(const LocalRunParameters& parameters);

// "Dateien_suchen" for each mask (code page 1252), in list order, one full
// walk of folder each; the files found in order, each once. What could not
// be searched raises SearchIncompleteError at the end, each place named once.
StringList searchFolder(const std::string& folder, const StringList& masks, bool includeSubfolders,
                        RunObserver* observer = nullptr);

// The closing message: success when a found text exists (an empty one
// counts) or when the option encoded addresses; pages left for their
// encoding are named.
RunOutcome Ergebnis_melden(const StringList& foundTexts, bool protectedByOption,
                           const std::vector<UnreadablePage>& unreadable = {});

}  // namespace quill
