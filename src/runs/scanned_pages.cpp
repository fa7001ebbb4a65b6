#include "runs/scanned_pages.hpp"

namespace quill {

const std::string* ScannedPages::find(const std::string& path) const {
    const auto page = pages_.find(path);
    return page == pages_.end() ? nullptr : &page->second.bytes;
}

void ScannedPages::keep(const std::string& path, Page page) {
    if (pages_.count(path) != 0 || (used_ + page.bytes.size() > budget_ && !pages_.empty())) return;
    used_ += page.bytes.size();
    pages_.emplace(path, std::move(page));
}

ScannedPages::Page ScannedPages::take(const std::string& path, const files::ReadMeter& meter) {
    if (const auto kept = pages_.find(path); kept != pages_.end()) {
        Page page = std::move(kept->second);
        pages_.erase(kept);
        used_ -= page.bytes.size();
        return page;
    }
    Page page;
    page.bytes = files::readWholeFile(path, &page.read, meter);
    return page;
}

}  // namespace quill
