#include "files/system_error_text.hpp"

#include <cerrno>
#include <cstring>

namespace quill {

std::string systemErrorText(int errorNumber) {
    switch (errorNumber) {
        case ENOENT:
            return "Das System kann die angegebene Datei nicht finden";
        case ENOTDIR:
            return "Das System kann den angegebenen Pfad nicht finden";
        case EACCES:
        case EPERM:
        case EISDIR:
            return "Zugriff verweigert";
        case EROFS:
            return "Das Medium ist schreibgeschützt";
        case ENOSPC:
            return "Auf dem Datenträger ist nicht genügend Speicherplatz vorhanden";
        case EEXIST:
            return "Die Datei ist bereits vorhanden";
        case EBUSY:
        case ETXTBSY:
            return "Der Prozess kann nicht auf die Datei zugreifen, da sie von einem anderen Prozess verwendet wird";
        case EMFILE:
        case ENFILE:
            return "Das System kann die Datei nicht öffnen";
        case ENAMETOOLONG:
            return "Der Dateiname oder die Erweiterung ist zu lang";
        case EIO:
            return "Die Anforderung konnte wegen eines E/A-Gerätefehlers nicht ausgeführt werden";
        case ELOOP:
            return "Der Pfad führt über einen symbolischen Link, dem nicht gefolgt wird";
        case EILSEQ:
            return "Für das Unicode-Zeichen ist in der Ziel-Codepage keine Zuordnung vorhanden";
        default:
            break;
    }
    return std::strerror(errorNumber);
}

}  // namespace quill
