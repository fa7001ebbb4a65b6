#pragma once

#include <sys/types.h>

#include <string>

#include "text/quill_error.hpp"

namespace quill::files {

// "Datei %s ist zu groß (%s Bytes) für den verfügbaren Arbeitsspeicher und
// wurde nicht verändert."
class FileTooLargeError : public QuillError {
public:
    using QuillError::QuillError;
};

// A file is worked on in memory as a few copies (its text, the result, the
// search's upper-case forms). Refuses, before anything is read or written, a
// file whose copies would not fit in the memory the system has free or in
// the address space the process may still take.
void ensureMemoryFor(const std::string& path, off_t size);
std::string tooLargeText(const std::string& path, off_t size);

}  // namespace quill::files
