#pragma once

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "runs/run_progress.hpp"

namespace quill::test {

// Records what a run reports, and asks for a cancel while a given item of a
// given step is being worked on (so that item still ends).
class RecordingObserver : public RunObserver {
public:
    struct CancelPoint {
        RunStep step;
        std::size_t duringItem;  // counted from 0; the search counts files found
    };

    void stepStarted(RunStep step, std::size_t total) override {
        steps.push_back(step);
        totals.push_back(total);
        current_ = step;
    }
    void progress(std::size_t done, std::size_t, const std::string&) override {
        item_ = done;
        if (cancelAt && current_ == cancelAt->step && done >= cancelAt->duringItem) cancel_ = true;
    }
    void itemProgress(std::uint64_t done, std::uint64_t total) override {
        itemBytes.push_back({current_.value_or(RunStep::Searching), item_, done, total});
    }
    void fileFound(const std::string& path) override { foundFiles.push_back(path); }
    void addressAdded(const std::string& text) override { addresses.push_back(text); }
    bool cancelRequested() const override { return cancel_; }

    // The bytes the item in hand reported, with its step and place.
    struct ItemBytesSeen {
        RunStep step;
        std::size_t item;
        std::uint64_t done;
        std::uint64_t total;
    };

    // Whether the item of the step reported once for each MB crossed before
    // its size, in order, and no other item of the step reported.
    bool reportedOncePerMegabyte(RunStep step, std::size_t item, std::uint64_t size) const {
        std::uint64_t crossed = 0;
        for (const ItemBytesSeen& seen : itemBytes) {
            if (seen.step != step) continue;
            ++crossed;
            const std::uint64_t next = std::min((crossed + 1) * ItemBytes::kEvery, size);
            if (seen.item != item || seen.total != size || seen.done < crossed * ItemBytes::kEvery || seen.done >= next)
                return false;
        }
        return crossed == (size - 1) / ItemBytes::kEvery;
    }

    std::optional<CancelPoint> cancelAt;
    std::vector<ItemBytesSeen> itemBytes;
    std::vector<RunStep> steps;
    std::vector<std::size_t> totals;
    std::vector<std::string> foundFiles;
    std::vector<std::string> addresses;

private:
    std::optional<RunStep> current_;
    std::size_t item_ = 0;
    bool cancel_ = false;
};

}  // namespace quill::test
