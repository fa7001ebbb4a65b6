#pragma once

#include <string>
#include <string_view>

#include "files/descriptor.hpp"

namespace quill::files {

// New contents go to a temporary file beside the file they replace: ".quill-"
// and twelve letters or digits, created exclusively (never through a planted
// name or link) for its owner only. The name is short, so a file name of any
// length can still be rewritten.
bool isOurTemporaryName(std::string_view name);

// Creates a fresh temporary file in folderFd; name receives its name. On
// failure the descriptor is invalid and errorNumber says why.
Descriptor createTemporaryFile(int folderFd, std::string& name, int& errorNumber);

// The folder part of a path, ending in "/" ("./" for a bare name).
std::string folderOf(const std::string& path);

}  // namespace quill::files
