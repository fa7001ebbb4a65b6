#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "cli/arguments.hpp"
#include "cli/commands.hpp"
#include "remote/remote_run.hpp"

namespace quill::cli {

// The options that name a server and the login to it, as "remote" and
// "undo" take them: --host --port --user --password-env --password-file
// --active --tls --sftp --fingerprint --settings.
std::vector<OptionSpec> serverLoginOptions();

// The server and login from the options, over those of --settings. Without
// either, the host is defaultHost. The password comes from a variable, a
// file that only its owner may read, or, at a terminal, from the user;
// command names the command in the message when something is missing.
ftp::RemoteRunFields serverFields(const ParsedArguments& parsed, CliIo& io, const std::string& command,
                                  const std::string& defaultHost = {});

// The port of --port; 0 for the protocol's own.
std::uint16_t serverPort(const ParsedArguments& parsed);

// The certificate or host key taken without a question: --fingerprint,
// else the one the settings file of --settings trusts for the host.
std::string trustedFingerprint(const ParsedArguments& parsed, const ftp::RemoteRunFields& fields);

// Trusts fingerprint for the server of fields in the current folder's
// settings: in the private work folder, for this process only.
void trustForThisProcess(const ftp::RemoteRunFields& fields, const std::string& fingerprint);

// Nobody answers a question in a build: the certificate or key is refused,
// and the user learns how to accept exactly this one.
bool refuseUnknownServer(CliIo& io, const std::string& question, bool sftp);

}  // namespace quill::cli
