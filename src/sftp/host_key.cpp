#include "sftp/host_key.hpp"

namespace quill::sftp {

std::string changedHostKeyMessage(const std::string& hostPort, const HostKey& known, const HostKey& offered) {
    return "Achtung: Der Serverschlüssel von \"" + hostPort +
           "\" hat sich geändert! Die Verbindung wurde abgebrochen.\r\n\r\nBekannter Schlüssel: " + known.text() +
           "\r\nAngebotener Schlüssel: " + offered.text() +
           "\r\n\r\nWenn der Server wirklich einen neuen Schlüssel bekommen hat, entfernen Sie den alten aus "
           "~/.ssh/known_hosts oder dem Abschnitt \"SSH-Schlüssel\" der Einstellungsdatei.";
}

std::string unknownHostKeyQuestion(const std::string& hostPort, const HostKey& offered) {
    return "Der Schlüssel des Servers \"" + hostPort +
           "\" ist noch nicht bekannt.\r\n\r\nSchlüsseltyp: " + offered.type +
           "\r\nFingerabdruck: " + offered.fingerprint + "\r\n\r\nDiesem Serverschlüssel trotzdem vertrauen?";
}

std::string hostPortKey(const std::string& host, unsigned port) {
    return host + ":" + std::to_string(port);
}

}  // namespace quill::sftp
