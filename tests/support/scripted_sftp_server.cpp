#include "support/scripted_sftp_server.hpp"

#include <stdexcept>

namespace quill::test {

namespace {

const char* const kServerScript = R"PY(
import logging, os, socket, sys, threading, time
import paramiko
from paramiko import SFTPAttributes, SFTPHandle, SFTPServer, SFTPServerInterface

logging.disable(logging.CRITICAL)
behaviour, root = sys.argv[1:3]
host_key = paramiko.ECDSAKey.generate()
HOSTILE = ['../escape.html', 'sub/inner.html', '..\\back.html', '.', '..', 'ok.html']

def stall():
    time.sleep(3600)

class Server(paramiko.ServerInterface):
    def get_allowed_auths(self, username):
        return 'password'

    def check_auth_password(self, username, password):
        if behaviour != 'refuse-password' and password == 'geheim':
            return paramiko.AUTH_SUCCESSFUL
        return paramiko.AUTH_FAILED

    def check_channel_request(self, kind, chanid):
        if kind == 'session':
            return paramiko.OPEN_SUCCEEDED
        return paramiko.OPEN_FAILED_ADMINISTRATIVELY_PROHIBITED

    def check_channel_subsystem_request(self, channel, name):
        if behaviour == 'no-sftp':
            return False
        return super().check_channel_subsystem_request(channel, name)

class Handle(SFTPHandle):
    def read(self, offset, length):
        if behaviour == 'stall-read' and offset > 0:
            stall()
        return super().read(offset, length)

    def write(self, offset, data):
        if behaviour == 'stall-write' and offset > 0:
            stall()
        return super().write(offset, data)

def local(path):
    return os.path.join(root, os.path.basename(path))

def attributes(path, name):
    found = SFTPAttributes.from_stat(os.stat(path))
    found.filename = name
    return found

class Sftp(SFTPServerInterface):
    def canonicalize(self, path):
        return '/'

    def list_folder(self, path):
        if behaviour == 'hostile-names':
            listed = []
            for name in HOSTILE:
                entry = SFTPAttributes()
                entry.filename, entry.st_mode, entry.st_size = name, 0o100644, 5
                listed.append(entry)
            return listed
        return [attributes(os.path.join(root, name), name) for name in sorted(os.listdir(root))]

    def stat(self, path):
        if path in ('/', '.', ''):
            return SFTPAttributes.from_stat(os.stat(root))
        try:
            return attributes(local(path), os.path.basename(path))
        except OSError as error:
            return SFTPServer.convert_errno(error.errno)

    lstat = stat

    def open(self, path, flags, attr):
        mode = 'rb'
        if flags & os.O_WRONLY:
            mode = 'wb'
        try:
            opened = open(local(path), mode)
        except OSError as error:
            return SFTPServer.convert_errno(error.errno)
        handle = Handle(flags)
        handle.filename = local(path)
        handle.readfile = opened
        handle.writefile = opened
        return handle

    def chattr(self, path, attr):
        return paramiko.SFTP_OK

    def rename(self, oldpath, newpath):
        # The protocol's own rename, which replaces nothing.
        if os.path.exists(local(newpath)):
            return paramiko.SFTP_FAILURE
        try:
            os.rename(local(oldpath), local(newpath))
        except OSError as error:
            return SFTPServer.convert_errno(error.errno)
        return paramiko.SFTP_OK

    def remove(self, path):
        try:
            os.remove(local(path))
        except OSError as error:
            return SFTPServer.convert_errno(error.errno)
        return paramiko.SFTP_OK

def serve(connection):
    transport = paramiko.Transport(connection)
    transport.add_server_key(host_key)
    transport.set_subsystem_handler('sftp', SFTPServer, Sftp)
    transport.start_server(server=Server())

listener = socket.socket()
listener.bind(('127.0.0.1', 0))
listener.listen(8)
print('PORT', listener.getsockname()[1], flush=True)
while True:
    connection, _ = listener.accept()
    threading.Thread(target=serve, args=(connection,), daemon=True).start()
)PY";

const char* behaviourArgument(ScriptedSftpServer::Behaviour behaviour) {
    switch (behaviour) {
        case ScriptedSftpServer::Behaviour::Normal:
            return "normal";
        case ScriptedSftpServer::Behaviour::RefusePassword:
            return "refuse-password";
        case ScriptedSftpServer::Behaviour::NoSftp:
            return "no-sftp";
        case ScriptedSftpServer::Behaviour::StallRead:
            return "stall-read";
        case ScriptedSftpServer::Behaviour::StallWrite:
            return "stall-write";
        case ScriptedSftpServer::Behaviour::HostileNames:
            return "hostile-names";
    }
    return "normal";
}

}  // namespace

ScriptedSftpServer::ScriptedSftpServer(Behaviour behaviour) {
    const std::string line =
        process_.start({"/usr/bin/python3", "-c", kServerScript, behaviourArgument(behaviour), root_.path()},
                       logs_.file("server.log"), "PORT ");
    port_ = static_cast<unsigned>(std::stoul(line.substr(line.find("PORT ") + 5)));
    if (port_ == 0 || port_ > 65535) throw std::runtime_error("scripted SFTP server: bad port");
}

}  // namespace quill::test
