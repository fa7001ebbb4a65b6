#include "support/pyftpdlib_server.hpp"

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <stdexcept>
#include <thread>

namespace quill::test {

namespace {

constexpr int kStartLimitMs = 15000;
constexpr int kStopLimitMs = 5000;

const char* const kServerScript = R"PY(
import fnmatch, logging, os, stat, sys, time
from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler, TLS_FTPHandler
from pyftpdlib.servers import FTPServer

logging.disable(logging.CRITICAL)
root, user, password, masks, drop_at_store, certificate, listings = sys.argv[1:8]
drop_at_store = int(drop_at_store)
Base = TLS_FTPHandler if certificate else FTPHandler

class Handler(Base):
    stores = 0
    proto_cmds = dict(Base.proto_cmds)
    for verb in {'full': [], 'unix': ['MLSD', 'MLST'], 'dos': ['MLSD', 'MLST'],
                 'names': ['MLSD', 'MLST', 'LIST']}[listings]:
        del proto_cmds[verb]

    def ftp_LIST(self, path):
        if listings != 'dos':
            return super().ftp_LIST(path)
        lines = []
        for name in sorted(self.fs.listdir(path)):
            info = os.lstat(os.path.join(path, name))
            when = time.strftime('%m-%d-%y  %I:%M%p', time.gmtime(info.st_mtime))
            if stat.S_ISDIR(info.st_mode):
                lines.append('%s       <DIR>          %s' % (when, name))
            elif stat.S_ISREG(info.st_mode):
                lines.append('%s %20d %s' % (when, info.st_size, name))
        self.push_dtp_data(''.join(line + '\r\n' for line in lines).encode('utf8'), cmd='LIST')
        return path

    def ftp_STOR(self, file, mode='w'):
        Handler.stores += 1
        if Handler.stores == drop_at_store:
            self.close()
            return None
        return super().ftp_STOR(file, mode)

    def ftp_NLST(self, path):
        folder, mask = os.path.split(path)
        if masks == 'globbed' and ('*' in mask or '?' in mask) and self.fs.isdir(folder):
            names = sorted(name for name in self.fs.listdir(folder)
                           if fnmatch.fnmatchcase(name.lower(), mask.lower())
                           and not self.fs.isdir(os.path.join(folder, name)))
            if not names:
                self.respond('550 No files found.')
                return None
            data = ('\r\n'.join(names) + '\r\n').encode('utf8', self.unicode_errors)
            self.push_dtp_data(data, cmd='NLST')
            return path
        return super().ftp_NLST(path)

authorizer = DummyAuthorizer()
authorizer.add_user(user, password, root, perm='elradfmwMT')
Handler.authorizer = authorizer
Handler.auth_failed_timeout = 0.1  # tests need no brute-force delay
if certificate:
    # Nothing in clear text: neither the login nor any data connection.
    Handler.certfile = certificate
    Handler.tls_control_required = True
    Handler.tls_data_required = True
server = FTPServer(('127.0.0.1', 0), Handler)
print(server.address[1], flush=True)
server.serve_forever()
)PY";

}  // namespace

PyftpdlibServer::PyftpdlibServer(std::string user, std::string password, Masks masks, int dropAtStore,
                                 std::string certificateFile, Listings listings)
    : user_(std::move(user)), password_(std::move(password)) {
    const char* masksArgument = masks == Masks::Globbed ? "globbed" : "refused";
    const char* const listingsArguments[] = {"full", "unix", "dos", "names"};
    const char* listingsArgument = listingsArguments[static_cast<int>(listings)];
    const std::string dropArgument = std::to_string(dropAtStore);
    int out[2];
    if (::pipe2(out, O_CLOEXEC) != 0) throw std::runtime_error("pyftpdlib: pipe failed");
    pid_ = ::fork();
    if (pid_ < 0) throw std::runtime_error("pyftpdlib: fork failed");
    if (pid_ == 0) {
        ::dup2(out[1], STDOUT_FILENO);
        const int null = ::open("/dev/null", O_WRONLY);
        if (null >= 0) ::dup2(null, STDERR_FILENO);
        ::execl("/usr/bin/python3", "python3", "-c", kServerScript, root_.path().c_str(), user_.c_str(),
                password_.c_str(), masksArgument, dropArgument.c_str(), certificateFile.c_str(), listingsArgument,
                static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(out[1]);

    std::string text;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kStartLimitMs);
    while (text.find('\n') == std::string::npos) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now()).count();
        pollfd entry{out[0], POLLIN, 0};
        if (left <= 0 || ::poll(&entry, 1, static_cast<int>(left)) <= 0) break;
        char buffer[64];
        const auto got = ::read(out[0], buffer, sizeof buffer);
        if (got <= 0) break;
        text.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(out[0]);
    const int port = text.find('\n') == std::string::npos ? 0 : std::atoi(text.c_str());
    if (port <= 0 || port > 65535) {
        stop();
        throw std::runtime_error("pyftpdlib did not start");
    }
    port_ = static_cast<std::uint16_t>(port);
}

PyftpdlibServer::~PyftpdlibServer() {
    stop();
}

void PyftpdlibServer::stop() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGTERM);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kStopLimitMs);
    while (::waitpid(pid_, nullptr, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    pid_ = -1;
}

}  // namespace quill::test
