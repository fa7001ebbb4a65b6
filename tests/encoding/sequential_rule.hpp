#pragma once

#include <string>

#include "text/string_list.hpp"

namespace quill::test {

// The rule of a run written plainly, byte by byte and found text after found
// text, for tests that hold the run's one-pass engine against it.
std::string sequentialRule(std::string text, const StringList& foundTexts);

}  // namespace quill::test
