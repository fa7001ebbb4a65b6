#include "sftp/sftp_errors.hpp"

#include <libssh/sftp.h>

namespace quill::sftp {

ESftpTimeout::ESftpTimeout()
    : ESftpError("Der SFTP-Server hat nicht rechtzeitig geantwortet; die Verbindung wurde abgebrochen.") {}

std::string sftpStatusText(int status) {
    switch (status) {
        case SSH_FX_EOF:
            return "Dateiende erreicht";
        case SSH_FX_NO_SUCH_FILE:
            return "Datei oder Ordner nicht gefunden";
        case SSH_FX_PERMISSION_DENIED:
            return "Zugriff verweigert";
        case SSH_FX_BAD_MESSAGE:
            return "Der Server versteht die Anfrage nicht";
        case SSH_FX_OP_UNSUPPORTED:
            return "Der Server unterstützt diesen Vorgang nicht";
        case SSH_FX_INVALID_HANDLE:
            return "Ungültiges Handle";
        case SSH_FX_NO_SUCH_PATH:
            return "Pfad nicht gefunden";
        case SSH_FX_FILE_ALREADY_EXISTS:
            return "Die Datei existiert bereits";
        case SSH_FX_WRITE_PROTECT:
            return "Schreibgeschützt";
        case SSH_FX_NO_MEDIA:
            return "Kein Datenträger";
        default:
            return "Der Server meldet einen Fehler (" + std::to_string(status) + ")";
    }
}

}  // namespace quill::sftp
