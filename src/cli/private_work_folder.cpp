#include "cli/private_work_folder.hpp"

#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <vector>

#include "files/file_io.hpp"
#include "settings/settings_file.hpp"

namespace quill::cli {

namespace fs = std::filesystem;

PrivateWorkFolder::PrivateWorkFolder() : previous_(files::currentFolder()) {
    std::string pattern = (fs::temp_directory_path() / "quillmaskerade-XXXXXX").string();
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (::mkdtemp(buffer.data()) == nullptr)
        throw files::FileCreateError(files::createErrorText(pattern, errno));
    path_ = buffer.data();
    if (::chdir(path_.c_str()) != 0) {
        const int error = errno;
        fs::remove(path_);
        throw files::FileOpenError(files::openErrorText(path_, error));
    }
}

bool PrivateWorkFolder::holdsCopies() const {
    std::error_code error;
    for (const auto& entry : fs::recursive_directory_iterator(path_, error))
        if (!entry.is_directory(error)) return true;
    return false;
}

PrivateWorkFolder::~PrivateWorkFolder() {
    const fs::path settings = fs::path(path_) / fs::path(settingsFilePath()).filename();
    [[maybe_unused]] const int ignored = ::chdir(previous_.c_str());
    std::error_code error;
    fs::remove(settings, error);
    if (!holdsCopies()) fs::remove_all(path_, error);
}

}  // namespace quill::cli
