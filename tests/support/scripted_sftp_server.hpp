#pragma once

#include <string>

#include "support/server_process.hpp"
#include "support/temp_folder.hpp"

namespace quill::test {

// A scripted SSH server (paramiko) on 127.0.0.1 and a free port, for what a
// real server does not do on request. It serves the files of root() flat,
// takes the password "geheim" for any user, offers no replacing rename, and
// misbehaves as told. Its host key is new with every server.
class ScriptedSftpServer {
public:
    enum class Behaviour {
        Normal,
        RefusePassword,  // every password is wrong
        NoSftp,          // logs in, then refuses the SFTP subsystem
        StallRead,       // answers a download's first piece, then never again
        StallWrite,      // takes an upload's first piece, then never answers again
        HostileNames,    // lists names that lead out of a folder, or are empty
    };

    explicit ScriptedSftpServer(Behaviour behaviour);

    unsigned port() const { return port_; }
    const TempFolder& root() const { return root_; }

private:
    TempFolder root_;
    TempFolder logs_;
    unsigned port_ = 0;
    ServerProcess process_;
};

}  // namespace quill::test
