#include "cli/private_work_folder.hpp"

#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <system_error>

#include "files/file_io.hpp"
#include "settings/settings_file.hpp"

namespace quill::cli {

namespace fs = std::filesystem;

PrivateWorkFolder::PrivateWorkFolder() : previous_(files::currentFolder()) {
    if (::chdir(path().c_str()) != 0) throw files::FileOpenError(files::openErrorText(path(), errno));
}

bool PrivateWorkFolder::holdsCopies() const {
    const fs::path settings = fs::path(path()) / fs::path(settingsFilePath()).filename();
    std::error_code error;
    for (const auto& entry : fs::recursive_directory_iterator(path(), error))
        if (!entry.is_directory(error) && entry.path() != settings) return true;
    return false;
}

PrivateWorkFolder::~PrivateWorkFolder() {
    const fs::path settings = fs::path(path()) / fs::path(settingsFilePath()).filename();
    const bool copiesLeft = holdsCopies();
    [[maybe_unused]] const int ignored = ::chdir(previous_.c_str());
    std::error_code error;
    fs::remove(settings, error);
    if (copiesLeft) scratch_.keep();
}

}  // namespace quill::cli
