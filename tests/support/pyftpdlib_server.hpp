#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>

#include "support/temp_folder.hpp"

namespace quill::test {

// A real FTP server: pyftpdlib under /usr/bin/python3 on 127.0.0.1 with a
// free port, one user with full rights on a fresh temporary root, passive and
// active mode, and NLST that understands "*" and "?" masks. Start-up waits a
// bounded time; the server stops with the object.
class PyftpdlibServer {
public:
    // How NLST treats a mask: globbed by the fixture, or refused with 550 as
    // the stock server does (it takes the mask for a file name).
    enum class Masks { Globbed, Refused };
    // Which folder listings it offers: MLSD and LIST (Unix lines) as the
    // stock server does; LIST only, with Unix or with DOS lines; or bare
    // NLST names only. A command taken away is answered with 500.
    enum class Listings { Full, UnixList, DosList, NamesOnly };

    // With dropAtStore n > 0, the server drops the control connection when
    // the n-th STOR command arrives, storing nothing for it. With a
    // certificate file (key and certificate, PEM) the server requires explicit
    // TLS on the control connection and on every data connection.
    PyftpdlibServer(std::string user = "quill", std::string password = "geheim", Masks masks = Masks::Globbed,
                    int dropAtStore = 0, std::string certificateFile = {}, Listings listings = Listings::Full);
    ~PyftpdlibServer();
    PyftpdlibServer(const PyftpdlibServer&) = delete;
    PyftpdlibServer& operator=(const PyftpdlibServer&) = delete;

    std::uint16_t port() const { return port_; }
    const std::string& user() const { return user_; }
    const std::string& password() const { return password_; }
    // The folder the user sees as "/".
    const TempFolder& root() const { return root_; }

private:
    void stop();

    std::string user_;
    std::string password_;
    TempFolder root_;
    pid_t pid_ = -1;
    std::uint16_t port_ = 0;
};

}  // namespace quill::test
