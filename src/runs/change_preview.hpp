#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "runs/local_run.hpp"

namespace quill {

// A file a run would change, with its bytes before and after.
struct PreviewFile {
    std::string path;  // as the run names it (a server page for a remote run)
    std::string before;
    std::string after;
    std::size_t places = 0;
};

// What a local run would change, and the found texts it would end with.
struct RunPreview {
    std::vector<PreviewFile> files;
    StringList foundTexts;
};
// The run of parameters with nothing written (writeNothing) and no
// interrupted rewrite finished; its own hooks are replaced.
RunPreview previewLocalRun(LocalRunParameters parameters);

// One stretch of changed lines, each side as a reader sees it: references
// decoded, UTF-8. line counts from 1 in the file before.
struct ChangedLines {
    int line;
    std::string before;
    std::string after;
};

// The changed stretches of a file: lines paired one to one where the count
// of lines stayed, else the block between the equal first and last lines.
std::vector<ChangedLines> changedLines(std::string_view before, std::string_view after);

}  // namespace quill
