#include "settings/data_folder.hpp"

#include "text/quill_error.hpp"

namespace quill {

namespace fs = std::filesystem;

fs::path userWorkingFolder(const char* xdgDataHome, const char* home) {
    // Only an absolute XDG_DATA_HOME counts; a relative one is to be ignored.
    if (xdgDataHome != nullptr && fs::path(xdgDataHome).is_absolute()) return fs::path(xdgDataHome) / "Quillmaskerade";
    if (home == nullptr || *home == '\0')
        throw QuillError("Der persönliche Ordner ist unbekannt (HOME ist nicht gesetzt)");
    return fs::path(home) / ".local" / "share" / "Quillmaskerade";
}

fs::path installedDefaultsFolder(const fs::path& programFolder) {
    return programFolder / QUILL_INSTALLED_DEFAULTS;
}

bool runsInstalled(const fs::path& programFolder) {
    std::error_code error;
    return fs::is_directory(installedDefaultsFolder(programFolder), error);
}

}  // namespace quill
