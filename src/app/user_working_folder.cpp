#include "app/user_working_folder.hpp"

#include <cstdlib>
#include <system_error>

#include "files/file_io.hpp"
#include "files/system_error_text.hpp"
#include "text/quill_error.hpp"

namespace quill {

namespace fs = std::filesystem;

namespace {

[[noreturn]] void failFolder(const fs::path& folder, const std::error_code& error) {
    throw QuillError("Der Arbeitsordner \"" + folder.string() + "\" kann nicht angelegt werden. " +
                     systemErrorText(error.value()));
}

}  // namespace

void prepareWorkingFolder(const fs::path& defaults, const fs::path& folder) {
    std::error_code error;
    fs::create_directories(folder, error);
    if (error || !fs::is_directory(folder))
        failFolder(folder, error ? error : std::make_error_code(std::errc::not_a_directory));
    for (const fs::directory_entry& entry : fs::directory_iterator(defaults)) {
        const fs::path target = folder / entry.path().filename();
        if (fs::exists(fs::symlink_status(target))) continue;
        fs::copy(entry.path(), target, fs::copy_options::recursive, error);
        if (error) throw files::FileCreateError(files::createErrorText(target.string(), error.value()));
    }
}

bool enterUserWorkingFolder(const fs::path& programFolder) {
    if (!runsInstalled(programFolder)) return false;
    const fs::path defaults = installedDefaultsFolder(programFolder);
    const fs::path folder = userWorkingFolder(std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
    prepareWorkingFolder(defaults, folder);
    std::error_code error;
    fs::current_path(folder, error);
    if (error) failFolder(folder, error);
    return true;
}

}  // namespace quill
