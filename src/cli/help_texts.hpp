#pragma once

#include <string_view>

namespace quill::cli {

enum class Command { Program, Encode, Decode, Run, Audit, Remote, Backups, Undo };

// The German help of the program or of one command, with examples (UTF-8,
// ending in a line end).
std::string_view helpText(Command command);

// "quillmaskerade-cli" and the product version.
std::string_view versionText();

}  // namespace quill::cli
