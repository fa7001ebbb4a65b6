#include "cli/cli_settings.hpp"

#include <cerrno>
#include <cstdlib>
#include <filesystem>

#include "cli/site_files.hpp"
#include "files/file_io.hpp"
#include "files/string_list_file.hpp"
#include "runs/run_backup.hpp"
#include "settings/data_folder.hpp"
#include "settings/settings_file.hpp"
#include "text/cp1252.hpp"

namespace quill::cli {

CliSettings::CliSettings(std::string settingsPath) : path_(std::move(settingsPath)) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path_, error))
        throw files::FileOpenError(files::openErrorText(path_, error ? error.value() : ENOENT));
}

StringList CliSettings::masks() const {
    const auto folder = std::filesystem::path(path_).parent_path();
    return files::loadStringList((folder / "Endungen.qmk").string());
}

ftp::RemoteRunFields CliSettings::ftpFields() const {
    return settings::SettingsFile(path_).ftp();
}

bool backupWanted(const ParsedArguments& parsed) {
    if (parsed.has("--no-backup")) return false;
    const auto settings = parsed.value("--settings");
    return !settings || settings::SettingsFile(*settings).backup();
}

std::string backupsRoot() {
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error || !runsInstalled(program.parent_path())) return backupsFolder();
    return (userWorkingFolder(std::getenv("XDG_DATA_HOME"), std::getenv("HOME")) / kBackupsFolderName).string();
}

std::string joinedOperands(const ParsedArguments& parsed) {
    std::string text;
    for (const auto& operand : parsed.operands()) text += (text.empty() ? "" : ", ") + operand;
    return text;
}

ExceptionList chosenExceptions(const ParsedArguments& parsed) {
    if (const auto file = parsed.value("--exceptions")) {
        if (!files::fileExists(*file)) throw files::FileOpenError(files::openErrorText(*file, ENOENT));
        return ExceptionList::load(*file);
    }
    if (const auto settings = parsed.value("--settings")) return ExceptionList::load(exceptionsFileBeside(*settings));
    return {};
}

StringList chosenMasks(const ParsedArguments& parsed) {
    StringList masks;
    for (const auto& mask : parsed.values("--mask")) {
        if (mask.empty()) throw UsageError("Eine Maske darf nicht leer sein.");
        masks.push_back(utf8ToCp1252(mask));
    }
    if (!masks.empty()) return masks;
    if (const auto settings = parsed.value("--settings")) return CliSettings(*settings).masks();
    return defaultMasks();
}

}  // namespace quill::cli
