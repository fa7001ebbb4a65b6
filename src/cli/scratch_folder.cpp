#include "cli/scratch_folder.hpp"

#include <stdlib.h>

#include <cerrno>
#include <filesystem>
#include <system_error>

#include "files/file_io.hpp"

namespace quill::cli {

namespace fs = std::filesystem;

ScratchFolder::ScratchFolder() {
    std::string pattern = (fs::temp_directory_path() / "quillmaskerade-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw files::FileCreateError(files::createErrorText(pattern, errno));
    path_ = pattern;
}

ScratchFolder::~ScratchFolder() {
    if (keep_) return;
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

}  // namespace quill::cli
