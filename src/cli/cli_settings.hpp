#pragma once

#include <string>

#include "cli/arguments.hpp"
#include "remote/remote_run.hpp"
#include "runs/exception_list.hpp"
#include "text/string_list.hpp"

namespace quill::cli {

// A settings file named with --settings, and the extension list
// "Endungen.qmk" in the same folder. Nothing else is ever read.
class CliSettings {
public:
    // Raises "Datei %s kann nicht geöffnet werden. %s" for a missing file.
    explicit CliSettings(std::string settingsPath);

    // The extension list (code page 1252); raises the open error when it is missing.
    StringList masks() const;
    // Server, user, password, folder and passive mode as the FTP page loads them.
    ftp::RemoteRunFields ftpFields() const;

private:
    std::string path_;
};

// The masks of a command (code page 1252): every --mask, else the extension
// list of --settings, else "*.htm" and "*.html".
StringList chosenMasks(const ParsedArguments& parsed);

// Whether a run keeps the originals: unless --no-backup, or the settings
// file of --settings says "Sicherung=Nein".
bool backupWanted(const ParsedArguments& parsed);
// Where runs keep their backups and "backups" and "undo" find them: an
// installed program, like the window, in "Sicherungen" of the user's data
// folder; one started elsewhere (from the build) in the current folder.
std::string backupsRoot();
// The operands as the place a run worked on, for its log.
std::string joinedOperands(const ParsedArguments& parsed);

// The exceptions of a command: the file of --exceptions (which must exist),
// else "Ausnahmen.qmk" beside --settings when it is there, else none.
ExceptionList chosenExceptions(const ParsedArguments& parsed);

}  // namespace quill::cli
