#pragma once

#include <string>
#include <vector>

#include "cli/cli_io.hpp"

namespace quill::cli {

// Each command takes the arguments behind its name and returns the exit code.
// Failures of the core propagate as exceptions; runCli reports them.
int encodeCommand(const std::vector<std::string>& args, CliIo& io);
int decodeCommand(const std::vector<std::string>& args, CliIo& io);
int runCommand(const std::vector<std::string>& args, CliIo& io);
int auditCommand(const std::vector<std::string>& args, CliIo& io);
int remoteCommand(const std::vector<std::string>& args, CliIo& io);
int backupsCommand(const std::vector<std::string>& args, CliIo& io);
int undoCommand(const std::vector<std::string>& args, CliIo& io);

// The whole program: "quillmaskerade-cli" followed by args.
int runCli(const std::vector<std::string>& args, CliIo& io);

}  // namespace quill::cli
