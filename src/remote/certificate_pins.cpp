#include "remote/certificate_pins.hpp"

#include "settings/settings_file.hpp"
#include "text/cp1252.hpp"

namespace quill::ftp {

namespace {

// Upper case without separators, so a hand-edited value with colons still matches.
std::string normalFingerprint(const std::string& text) {
    std::string normal;
    for (const char byte : toUpper1252(text)) {
        if (byte != ':' && byte != ' ') normal += byte;
    }
    return normal;
}

// "AB:CD:...", as certificate viewers show it.
std::string readableFingerprint(const std::string& hex) {
    std::string text;
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        if (i > 0) text += ':';
        text += hex.substr(i, 2);
    }
    return text;
}

}  // namespace

std::string certificateQuestion(const std::string& host, const PeerCertificate& certificate, bool changed) {
    std::string text;
    if (changed)
        text +=
            "Achtung: Das Zertifikat dieses Servers hat sich geändert! Es ist nicht das Zertifikat, dem "
            "Sie zuvor vertraut haben.\r\n\r\n";
    text += "Das Zertifikat des Servers \"" + cp1252ToUtf8(host) + "\" konnte nicht bestätigt werden:\r\n" +
            certificate.problem + "\r\n\r\nSHA-256-Fingerabdruck:\r\n" + readableFingerprint(certificate.fingerprint) +
            "\r\n\r\nDiesem Zertifikat trotzdem vertrauen?";
    return text;
}

CertificateTrust pinnedCertificateTrust(std::function<bool(const std::string& question)> ask) {
    return [ask = std::move(ask)](const std::string& host, const PeerCertificate& certificate) {
        settings::SettingsFile file;
        const std::string pinned = normalFingerprint(file.certificatePin(host));
        const std::string offered = normalFingerprint(certificate.fingerprint);
        if (!pinned.empty() && pinned == offered) return true;
        if (!ask || !ask(certificateQuestion(host, certificate, !pinned.empty()))) return false;
        file.setCertificatePin(host, offered);
        return true;
    };
}

}  // namespace quill::ftp
