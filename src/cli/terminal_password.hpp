#pragma once

#include <optional>
#include <string>

#include "cli/cli_io.hpp"

namespace quill::cli {

// Asks for a password on the terminal, without echo, when standard input is
// one: the prompt goes to err, the answer is read from in up to the line's
// end. Nothing when standard input is no terminal (a script has no one to ask).
std::optional<std::string> askPasswordOnTerminal(CliIo& io, const std::string& prompt);

}  // namespace quill::cli
