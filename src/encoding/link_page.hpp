#pragma once

#include <string>
#include <string_view>

namespace quill {

inline constexpr std::string_view kLinkPageName = "SpamSchutz.html";

// The page's bytes (code page 1252, every line ended by CR LF). linkMemoText
// is the memo's whole text, the link with its own CR LF, so an empty line
// follows the link.
std::string linkPageText(std::string_view linkMemoText);

// "SpamSchutz.html" in the current working folder, read anew at each call.
std::string linkPagePath();

// Creates or overwrites the page. Failure: "Datei "%s" kann nicht erstellt
// werden. %s" with the full path and the system's reason (FileCreateError),
// or "Stream-Schreibfehler".
void writeLinkPage(const std::string& path, std::string_view linkMemoText);

}  // namespace quill
