#pragma once

#include <cstddef>
#include <cstdint>
#include <exception>
#include <string>
#include <utility>

#include "text/string_list.hpp"

namespace quill {

enum class RunStep { Searching, Scanning, Encoding, Downloading, Uploading };

// What a run tells its caller while it goes on, and how the caller asks it to
// stop. Every call comes from the thread that does the run; texts are UTF-8.
class RunObserver {
public:
    virtual ~RunObserver() = default;

    // total is 0 when it is not known beforehand (the search).
    virtual void stepStarted(RunStep, std::size_t /*total*/) {}
    // done items of the step are finished; current is the one being worked on.
    virtual void progress(std::size_t /*done*/, std::size_t /*total*/, const std::string& /*current*/) {}
    // The item in hand is partly done: bytesDone of its bytesTotal. Comes
    // once for every MB crossed (see ItemBytes), so only items over 1 MB report.
    virtual void itemProgress(std::uint64_t /*bytesDone*/, std::uint64_t /*bytesTotal*/) {}
    // The found-files list got this path (the search).
    virtual void fileFound(const std::string& /*path*/) {}
    // The found-addresses list got this text (code page 1252, as found).
    virtual void addressAdded(const std::string& /*foundText*/) {}
    // Looked at between two items of a step; true ends the run there.
    virtual bool cancelRequested() const { return false; }
};

// Ends a run at a point where every file is either done or untouched. It is no
// QuillError, so no handler for failures takes it for one.
class RunCancelled : public std::exception {
public:
    RunCancelled(RunStep step, std::size_t finished, StringList unfinished)
        : step_(step), finished_(finished), unfinished_(std::move(unfinished)) {}

    const char* what() const noexcept override { return "Der Vorgang wurde abgebrochen."; }
    RunStep step() const { return step_; }
    std::size_t finished() const { return finished_; }
    // The items of the step not reached, as the user knows them (UTF-8).
    const StringList& unfinished() const { return unfinished_; }

private:
    RunStep step_;
    std::size_t finished_;
    StringList unfinished_;
};

// What the user is told a step is doing (UTF-8), e.g. "Dateien werden kodiert…".
const char* runStepText(RunStep step);

// The text of the box after a cancel (UTF-8): for rewriting and uploading it
// says how many files were finished and names those that were not.
std::string cancelledRunMessage(const RunCancelled& cancelled);

// The observer to talk to: the given one, or one that hears nothing.
RunObserver& observerOrNone(RunObserver* observer);

// Works through the items of one step in order: announces the step, and before
// each item checks for a cancel (raising RunCancelled with the items not
// reached, named by displayName) and reports progress.
template <typename DisplayName, typename Work>
void forEachItem(RunObserver* observer, RunStep step, const StringList& items, DisplayName displayName, Work work) {
    RunObserver& watcher = observerOrNone(observer);
    watcher.stepStarted(step, items.size());
    for (std::size_t done = 0; done < items.size(); ++done) {
        if (watcher.cancelRequested()) {
            StringList rest;
            for (std::size_t i = done; i < items.size(); ++i) rest.push_back(displayName(items[i]));
            throw RunCancelled(step, done, std::move(rest));
        }
        watcher.progress(done, items.size(), displayName(items[done]));
        work(items[done]);
    }
    watcher.progress(items.size(), items.size(), std::string());
}

// Hands the bytes done of the item in hand to the observer once for every
// MB crossed: cheap enough to be called for every piece read or sent. A size
// of 0 (not known) reports nothing, as there is no share to show.
class ItemBytes {
public:
    static constexpr std::uint64_t kEvery = std::uint64_t{1} << 20;

    explicit ItemBytes(RunObserver* observer) : observer_(observer) {}
    void operator()(std::uint64_t done, std::uint64_t total);

private:
    RunObserver* observer_;
    std::uint64_t next_ = kEvery;
};

// Raises RunCancelled for a step without a count of its own.
void throwIfCancelled(RunObserver* observer, RunStep step);

}  // namespace quill
