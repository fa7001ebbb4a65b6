#include "runs/run_progress.hpp"

namespace quill {

namespace {

// A box with thousands of names helps nobody; the count says the rest.
constexpr std::size_t kNamesShown = 10;

std::string finishedLine(std::size_t finished, std::size_t total, const char* participle) {
    return std::to_string(finished) + " von " + std::to_string(total) + " Dateien " +
           (finished == 1 ? "wurde " : "wurden ") + participle + ".";
}

}  // namespace

const char* runStepText(RunStep step) {
    switch (step) {
        case RunStep::Searching:
            return "Dateien werden gesucht…";
        case RunStep::Scanning:
            return "Dateien werden durchsucht…";
        case RunStep::Encoding:
            return "Dateien werden kodiert…";
        case RunStep::Downloading:
            return "Dateien werden heruntergeladen…";
        case RunStep::Uploading:
            break;
    }
    return "Dateien werden hochgeladen…";
}

std::string cancelledRunMessage(const RunCancelled& cancelled) {
    std::string text = cancelled.what();
    const char* participle = nullptr;
    if (cancelled.step() == RunStep::Encoding) participle = "kodiert";
    if (cancelled.step() == RunStep::Uploading) participle = "hochgeladen";
    if (participle == nullptr) return text;

    const StringList& rest = cancelled.unfinished();
    text += "\r\n\r\n" + finishedLine(cancelled.finished(), cancelled.finished() + rest.size(), participle);
    if (rest.empty()) return text;
    text += std::string("\r\nNicht ") + participle + (rest.size() == 1 ? " wurde:" : " wurden:");
    for (std::size_t i = 0; i < rest.size() && i < kNamesShown; ++i) text += "\r\n" + rest[i];
    if (rest.size() > kNamesShown) text += "\r\n(und " + std::to_string(rest.size() - kNamesShown) + " weitere)";
    return text;
}

RunObserver& observerOrNone(RunObserver* observer) {
    // Stateless, so one shared instance serves every thread.
    static RunObserver none;
    return observer != nullptr ? *observer : none;
}

void ItemBytes::operator()(std::uint64_t done, std::uint64_t total) {
    if (observer_ == nullptr || total == 0 || done < next_ || done >= total) return;
    observer_->itemProgress(done, total);
    next_ = (done / kEvery + 1) * kEvery;
}

void throwIfCancelled(RunObserver* observer, RunStep step) {
    if (observerOrNone(observer).cancelRequested()) throw RunCancelled(step, 0, {});
}

}  // namespace quill
