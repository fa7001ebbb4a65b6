#pragma once

#include <stdexcept>
#include <string>

namespace quill {

// Base of the program's own failures. The message is the exact text the user
// sees in the error box, in UTF-8.
class QuillError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A text that is not an integer ("'%s' ist kein gültiger Integerwert").
class ConvertError : public QuillError {
public:
    using QuillError::QuillError;
};

// A range check failed ("Fehler bei Bereichsprüfung").
class RangeError : public QuillError {
public:
    using QuillError::QuillError;
};

}  // namespace quill
