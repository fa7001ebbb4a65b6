#pragma once

#include <string>
#include <string_view>

namespace quill {

// The settings file in the working folder, and the names of what it holds.
std::string settingsFilePath();

namespace settings {
inline constexpr std::string_view kProgramSection = "Quillmaskerade";
inline constexpr std::string_view kFtpSection = "FTP-Daten";

inline constexpr std::string_view kMailAddressKey = "EMailAdresse";
inline constexpr std::string_view kSubjectKey = "Betreff";
inline constexpr std::string_view kFolderKey = "Verzeichnis";  // in both sections
inline constexpr std::string_view kFolderDefault = " ";
inline constexpr std::string_view kProtectAllKey = "AlleAdressen";  // "Ja" or "Nein", as kPassiveKey

inline constexpr std::string_view kServerKey = "Server";
inline constexpr std::string_view kUsernameKey = "Username";
inline constexpr std::string_view kPasswordKey = "Passwort";
inline constexpr std::string_view kFtpFolderDefault = "/";
inline constexpr std::string_view kPassiveKey = "Passiv";
inline constexpr std::string_view kPassiveYes = "Ja";
inline constexpr std::string_view kPassiveNo = "Nein";
inline constexpr std::string_view kTlsKey = "TLS";  // "Ja"/"Nein" as for kPassiveKey

// Trusted server certificates: key = host as typed, value = SHA-256 fingerprint in hex.
inline constexpr std::string_view kCertificatesSection = "FTP-Zertifikate";
}  // namespace settings

}  // namespace quill
