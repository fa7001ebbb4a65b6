#pragma once

#include <filesystem>

#include "settings/data_folder.hpp"

namespace quill {

// Makes the folder and copies into it every entry of the defaults folder
// (extension list, help, music) that it does not hold yet; nothing that is
// there is overwritten, so the user's own list survives.
void prepareWorkingFolder(const std::filesystem::path& defaults, const std::filesystem::path& folder);

// A program started from an installed tree finds its defaults beside its own
// folder; it then works in the user's folder, prepared and made the current
// one, so its files land in one known place wherever it was started from.
// A program started elsewhere (from the build, by the tests) keeps the folder
// it was started in. Returns whether it changed folders.
bool enterUserWorkingFolder(const std::filesystem::path& programFolder);

}  // namespace quill
