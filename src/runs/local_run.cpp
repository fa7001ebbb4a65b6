#include "runs/local_run.hpp"

#include <algorithm>
#include <functional>
#include <new>
#include <optional>
#include <unordered_map>

#include "addresses/address_protection.hpp"
#include "encoding/found_addresses.hpp"
#include "encoding/mailto_texts.hpp"
#include "engine/case_blind_replace.hpp"
#include "files/file_io.hpp"
#include "files/folder_lock.hpp"
#include "files/memory_budget.hpp"
#include "files/rewrite_batch.hpp"
#include "files/rewrite_journal.hpp"
#include "html/page_decoder.hpp"
#include "runs/audit_message.hpp"
#include "runs/folder_search.hpp"
#include "runs/scanned_pages.hpp"
#include "text/cp1252.hpp"

namespace quill {

namespace {

// Pages kept between scan and rewrite. Beyond it they are read twice, which
// the system's file cache mostly absorbs; a larger page is kept alone.
constexpr std::size_t kKeptPageBytes = std::size_t{64} << 20;

std::string asIs(const std::string& path) {
    return path;
}

// The audit of each page as the run leaves it, in the order pages were first
// listed; a later rewrite of a page replaces its earlier hits.
class RunAudit {
public:
    void page(const std::string& path, std::string_view bytes) {
        const auto [slot, fresh] = index_.try_emplace(path, hits_.size());
        if (fresh) hits_.emplace_back();
        hits_[slot->second] = auditText(bytes, path);
    }
    std::vector<ReadableAddress> take() {
        std::vector<ReadableAddress> all;
        for (auto& inPage : hits_)
            all.insert(all.end(), std::make_move_iterator(inPage.begin()), std::make_move_iterator(inPage.end()));
        return all;
    }

private:
    std::unordered_map<std::string, std::size_t> index_;
    std::vector<std::vector<ReadableAddress>> hits_;
};

class LocalRun {
public:
    explicit LocalRun(const LocalRunParameters& parameters)
        : p_(parameters),
          scanned_(withoutRepeats(parameters.scanned)),
          rewritten_(withoutRepeats(parameters.rewritten)),
          observer_(observerOrNone(parameters.observer)),
          pages_(kKeptPageBytes) {
        for (const auto& text : p_.foundTexts) found_.add(text);
    }

    LocalRunResult run() {
        // A rewrite that a kill interrupted is finished before its file is read.
        if (p_.finishInterruptedRewrites) files::finishInterruptedRewrites();
        scan();
        result_.protectedByOption = rewrite();
        result_.foundTexts = found_.items();
        result_.outcome = Ergebnis_melden(result_.foundTexts, result_.protectedByOption, result_.unreadable);
        result_.readable = audit_.take();
        return std::move(result_);
    }

private:
    void scan() {
        forEachItem(p_.observer, RunStep::Scanning, scanned_, asIs, [&](const std::string& path) {
            if (!p_.missingPageFails && !files::fileExists(path)) return;
            ScannedPages::Page page;
            ItemBytes bytes(p_.observer);
            page.bytes = files::readWholeFile(path, &page.read, std::ref(bytes));
            scanPage(page.bytes);
            pages_.keep(path, std::move(page));
        });
    }

    void scanPage(std::string_view bytes) {
        for (const auto& text : mailtoTexts(bytes))
            if (found_.add(text)) observer_.addressAdded(text);
    }

    // Returns whether the option changed a page.
    bool rewrite() {
        const RunReplacements replacements(found_.items());
        result_.pages.reserve(rewritten_.size());
        for (const auto& path : rewritten_) result_.pages.push_back({path, 0, 0, 0, false, false});
        if (replacements.empty() && !p_.protectAll) {
            auditUntouched();
            return false;
        }
        bool protectedAny = false;
        std::optional<files::FolderLocks> locks;
        if (!p_.writeNothing) locks.emplace(rewritten_);
        files::RewriteBatch batch;
        std::size_t index = 0;
        try {
            forEachItem(p_.observer, RunStep::Encoding, rewritten_, asIs, [&](const std::string& path) {
                if (batch.full()) commit(batch);
                ItemBytes bytes(p_.observer);
                ScannedPages::Page page = pages_.take(path, std::ref(bytes));
                PageResult& outcome = result_.pages[index++];
                outcome.oldSize = outcome.newSize = page.bytes.size();
                const PageEncoding encoding = detectPageEncoding(page.bytes, path);
                if (!PageDecoder(encoding).readable()) {
                    // Its characters cannot be read, so none is rewritten.
                    result_.unreadable.push_back({path, encoding.name});
                    audit_.page(path, page.bytes);
                    return;
                }
                std::string result = rewritten(path, page, encoding, replacements, outcome.places, protectedAny);
                outcome.newSize = result.size();
                outcome.changed = result != page.bytes;
                const bool writes = !p_.writeNothing && (!replacements.empty() || outcome.changed);
                if (writes && !wroteAny_ && p_.hooks.beforeFirstWrite) p_.hooks.beforeFirstWrite();
                wroteAny_ = wroteAny_ || writes;
                const PageChange change{index - 1, path, page.bytes, result, outcome.places};
                if (outcome.changed && p_.hooks.beforeWrite) p_.hooks.beforeWrite(change);
                if (writes) {
                    std::string keepAs;
                    if (outcome.changed && p_.hooks.keepReplacedAt) keepAs = p_.hooks.keepReplacedAt(change);
                    batch.stage(path, result, std::nullopt, &page.read, std::move(keepAs));
                    outcome.written = true;
                }
                // The old bytes go before the audit takes its share.
                std::string().swap(page.bytes);
                audit_.page(path, result);
            });
        } catch (...) {
            // The files before the failing (or cancelled) one are done; a
            // failure of theirs comes first and replaces this one.
            commit(batch);
            throw;
        }
        commit(batch);
        return protectedAny;
    }

    // The page's new bytes: every found text replaced, then with protectAll
    // every other readable address.
    std::string rewritten(const std::string& path, const ScannedPages::Page& page, const PageEncoding& encoding,
                          const RunReplacements& replacements, std::size_t& places, bool& protectedAny) const {
        try {
            std::string result = replacements.apply(page.bytes, encoding, &places);
            if (p_.protectAll && !pageExcepted(path)) {
                const auto keepReadable = [this](const std::string& address) {
                    return p_.exceptions.coversAddress(address);
                };
                std::string all = protectAllAddresses(result, keepReadable, &places,
                                                      encoding.xml ? ReferenceEnd::Always : ReferenceEnd::AsNeeded);
                protectedAny = protectedAny || all != result;
                result.swap(all);
            }
            return result;
        } catch (const std::bad_alloc&) {
            throw files::FileTooLargeError(files::tooLargeText(path, page.read.size));
        }
    }

    void commit(files::RewriteBatch& batch) const {
        try {
            if (p_.hooks.beforeCommit) p_.hooks.beforeCommit(batch);
        } catch (...) {
            // The originals of these pages are not all kept: none is replaced.
            batch.discard();
            throw;
        }
        batch.commit();
    }

    bool pageExcepted(const std::string& path) const {
        return p_.exceptions.coversPath(p_.pageName ? p_.pageName(path) : path);
    }

    // No page is written: the audit takes the pages as the scan read them.
    void auditUntouched() {
        for (const auto& path : rewritten_) {
            if (const std::string* kept = pages_.find(path)) {
                audit_.page(path, *kept);
            } else if (files::fileExists(path)) {
                audit_.page(path, files::readWholeFile(path));
            }
        }
    }

    const LocalRunParameters& p_;
    const StringList scanned_;
    const StringList rewritten_;
    RunObserver& observer_;
    FoundAddresses found_;
    ScannedPages pages_;
    RunAudit audit_;
    LocalRunResult result_;
    bool wroteAny_ = false;
};

}  // namespace

std::optional<RunOutcome> LocalRunResult::auditOutcome(const ExceptionList& exceptions) const {
    return readableAddressesOutcome(splitByExceptions(readable, exceptions).counted);
}

LocalRunResult runLocalEncoding(const LocalRunParameters& parameters) {
    return LocalRun(parameters).run();
}

StringList searchFolder(const std::string& folder, const StringList& masks, bool includeSubfolders,
                        RunObserver* observer) {
    observerOrNone(observer).stepStarted(RunStep::Searching, 0);
    StringList found;
    StringList skipped;
    for (const auto& mask : masks)
        Dateien_suchen(folder + "/" + cp1252ToUtf8(mask), includeSubfolders, found, observer, &skipped);
    // Each place once, though every mask walked past it.
    throwIfSkipped(withoutRepeats(skipped));
    return found;
}

namespace {

std::string unreadablePagesNote(const std::vector<UnreadablePage>& pages) {
    if (pages.empty()) return {};
    std::string note = pages.size() == 1 ? "\r\n\r\nDiese Datei blieb unverändert, weil ihre Zeichenkodierung nicht "
                                           "gelesen werden kann:"
                                         : "\r\n\r\nDiese Dateien blieben unverändert, weil ihre Zeichenkodierung "
                                           "nicht gelesen werden kann:";
    for (const UnreadablePage& page : pages) note += "\r\n" + page.path + " (" + page.encoding + ")";
    return note;
}

}  // namespace

RunOutcome Ergebnis_melden(const StringList& foundTexts, bool protectedByOption,
                           const std::vector<UnreadablePage>& unreadable) {
    const std::string note = unreadablePagesNote(unreadable);
    if (!foundTexts.empty() || protectedByOption)
        return {OutcomeKind::Information, "Die E-Mail-Adressen wurden erfolgreich kodiert!" + note};
    return {OutcomeKind::Error, "Es wurden keine unkodierten E-Mail-Adressen gefunden!" + note};
}

}  // namespace quill
