#pragma once

#include <string>

namespace quill::cli {

// A fresh folder below the system's temporary folder, removed with its
// contents when the object goes unless keep() was called.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::string& path() const { return path_; }
    void keep() { keep_ = true; }

private:
    std::string path_;
    bool keep_ = false;
};

}  // namespace quill::cli
