#include "runs/encoding_runs.hpp"

namespace quill {

void EncodingRuns::clearLists() {
    foundFiles.clear();
    foundAddresses.clear();
}

LocalRunResult EncodingRuns::run(LocalRunParameters parameters) {
    parameters.foundTexts = foundAddresses.items();
    parameters.protectAll = protectAll;
    parameters.exceptions = exceptions;
    parameters.pageName = pageName;
    parameters.observer = observer;
    parameters.hooks.beforeWrite = beforeWrite;
    // Texts found before a failure are heard and kept all the same.
    struct Keep : RunObserver {
        EncodingRuns& runs;
        explicit Keep(EncodingRuns& r) : runs(r) {}
        void stepStarted(RunStep step, std::size_t total) override { watched().stepStarted(step, total); }
        void progress(std::size_t done, std::size_t total, const std::string& current) override {
            watched().progress(done, total, current);
        }
        void itemProgress(std::uint64_t done, std::uint64_t total) override { watched().itemProgress(done, total); }
        void fileFound(const std::string& path) override { watched().fileFound(path); }
        void addressAdded(const std::string& text) override {
            runs.foundAddresses.add(text);
            watched().addressAdded(text);
        }
        bool cancelRequested() const override { return observerOrNone(runs.observer).cancelRequested(); }
        RunObserver& watched() { return observerOrNone(runs.observer); }
    } keep(*this);
    parameters.observer = &keep;
    return runLocalEncoding(parameters);
}

void EncodingRuns::scanFiles(const StringList& paths) {
    LocalRunParameters parameters;
    parameters.scanned = paths;
    run(std::move(parameters));
}

void EncodingRuns::Dateien_kodieren(const StringList& paths) {
    scanAndEncode({}, paths);
}

void EncodingRuns::scanAndEncode(const StringList& scanned, const StringList& rewritten) {
    LocalRunParameters parameters;
    parameters.scanned = scanned;
    parameters.rewritten = rewritten;
    lastRewrite_ = {};
    lastRewrite_ = run(std::move(parameters));
}

std::vector<PreviewFile> EncodingRuns::previewChanges(const StringList& paths) const {
    LocalRunParameters parameters;
    parameters.rewritten = paths;
    parameters.foundTexts = foundAddresses.items();
    parameters.protectAll = protectAll;
    parameters.exceptions = exceptions;
    parameters.pageName = pageName;
    parameters.observer = observer;
    return previewLocalRun(std::move(parameters)).files;
}

RunOutcome EncodingRuns::Ergebnis_melden() const {
    return quill::Ergebnis_melden(foundAddresses.items(), lastRewrite_.protectedByOption, lastRewrite_.unreadable);
}

}  // namespace quill
