#pragma once

#include <filesystem>

namespace quill {

// The folder an installed program works in for its user: the user's data
// folder ($XDG_DATA_HOME when that is an absolute path, else
// $HOME/.local/share), then "Quillmaskerade".
std::filesystem::path userWorkingFolder(const char* xdgDataHome, const char* home);

// Where an installed program finds its defaults, beside its own folder; a
// program started elsewhere (from the build, by the tests) has none there.
std::filesystem::path installedDefaultsFolder(const std::filesystem::path& programFolder);
bool runsInstalled(const std::filesystem::path& programFolder);

}  // namespace quill
