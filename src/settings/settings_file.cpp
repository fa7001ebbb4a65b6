#include "settings/settings_file.hpp"

#include "files/file_io.hpp"

namespace quill {

std::string settingsFilePath() { return files::inCurrentFolder("Einstellungen.qmk"); }

}  // namespace quill
