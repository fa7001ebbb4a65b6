#pragma once

#include <string>

#include "files/descriptor.hpp"
#include "text/quill_error.hpp"

namespace quill::files {

// "Der private Ordner %s kann nicht verwendet werden. %s"
class StateFolderError : public QuillError {
public:
    using QuillError::QuillError;
};

// Where the program keeps what it must know about its own unfinished work:
// $XDG_STATE_HOME/Quillmaskerade, else ~/.local/state/Quillmaskerade (the
// home from $HOME, else from the user database). Nothing in a web folder is
// ever trusted for this.
std::string stateFolderPath();

// Opens the state folder, creating it (and its parents) for the owner only.
// It is refused unless it is a real folder of ours that no one else may
// write into.
Descriptor openStateFolder();

// A name no one can guess: prefix and twelve letters or digits from the
// system's random source.
std::string unpredictableName(const std::string& prefix);

}  // namespace quill::files
