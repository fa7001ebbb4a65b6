#include <cstdio>

#include "remote_folder/remote_folder.hpp"
#include "text/cp1252.hpp"

namespace quill::remote {

namespace {

constexpr std::size_t kMaxNameBytes = 4096;
constexpr std::size_t kShownBytes = 200;

}  // namespace

bool isSafeListedName(std::string_view name) {
    if (name.empty() || name == "." || name == ".." || name.size() > kMaxNameBytes) return false;
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '/' || c == '\\' || byte < 0x20 || byte == 0x7F) return false;
    }
    return true;
}

std::string shownName(std::string_view name) {
    std::string shown;
    for (const char c : name.substr(0, kShownBytes)) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
            shown += escaped;
        } else {
            shown += c;
        }
    }
    shown = cp1252ToUtf8(shown);
    if (name.size() > kShownBytes) shown += "...";
    return shown;
}

EUnsafeListedName::EUnsafeListedName(std::string_view name)
    : EFTPError(
          "Die Ordnerliste des Servers enthält einen Namen, der aus dem Ordner \"FTP-Inhalt\" hinausführen "
          "würde oder kein gültiger Dateiname ist. Es wurde nichts geändert. Name: \"" +
          shownName(name) + "\"") {}

}  // namespace quill::remote
