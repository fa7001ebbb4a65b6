#pragma once

#include <cstddef>
#include <string>
#include <unordered_map>

#include "files/file_io.hpp"

namespace quill {

// The pages a run read for its scan, kept for their rewrite while they fit a
// budget, so that a page is read from disk once. Pages beyond the budget are
// read again; one page is always kept, however large.
class ScannedPages {
public:
    struct Page {
        std::string bytes;
        files::FileStamp read;  // what the file was when these bytes were read
    };

    explicit ScannedPages(std::size_t budget) : budget_(budget) {}

    // The bytes kept for path, or nullptr.
    const std::string* find(const std::string& path) const;
    // Keeps the page just read from path, if it fits.
    void keep(const std::string& path, Page page);
    // The page for its rewrite: the kept one (handed over), or read now
    // (meter hearing how far the read is).
    Page take(const std::string& path, const files::ReadMeter& meter = {});

private:
    std::size_t budget_;
    std::size_t used_ = 0;
    std::unordered_map<std::string, Page> pages_;
};

}  // namespace quill
