#pragma once

#include <functional>
#include <string>

namespace quill::files {

// Every file system step that a test needs to fail on purpose (or to stop a
// rewrite at, as a kill would) asks here first.
enum class FileStep {
    OpenRead,
    ShortRead,
    CreateTemp,
    Write,
    ShortWrite,
    Sync,
    Rename,
    InPlaceWrite,
    FolderSync,
    Remove,
    CreateFolder,
    Link
};

// Returns 0 to go on, or the errno value the step fails with.
using FaultHook = std::function<int(FileStep step, const std::string& path)>;

// Installed by tests only; an empty hook (the default) injects nothing.
void setFaultHook(FaultHook hook);
int injectedFault(FileStep step, const std::string& path);

}  // namespace quill::files
