#include "encoding/link_page.hpp"

#include "files/file_io.hpp"
#include "text/product_info.hpp"
#include "text/string_list.hpp"

namespace quill {

namespace {

constexpr std::size_t kFrameWidth = 80;

std::string webAddressLine() {
    std::string line = "# Infos unter: ";
    line += kProductWebAddress;
    if (line.size() < kFrameWidth - 1) line.append(kFrameWidth - 1 - line.size(), ' ');
    line += '#';
    return line;
}

}  // namespace

std::string linkPageText(std::string_view linkMemoText) {
    const std::string frame(kFrameWidth, '#');
    const StringList lines = {
        "<html>",
        "<head>",
        "<!--",
        frame,
        "# Die Datei wurde mit dem Quillmaskerade V 2.6 erstellt!                       #",
        "# Den Ursprung von Spam zu bek\xE4mpfen ist besser, als Spam-Mails zu bearbeiten! #",
        webAddressLine(),
        frame,
        "-->",
        "<title>Verschl&uuml;sselte E-Mail-Adresse</title>",
        "</head>",
        "<body>",
        "<center>",
        "<h1>",
        std::string(linkMemoText),
        "</h1>",
        "</center>",
        "</body>",
        "</html>",
    };
    return joinLines(lines);
}

std::string linkPagePath() {
    return files::inCurrentFolder(kLinkPageName);
}

void writeLinkPage(const std::string& path, std::string_view linkMemoText) {
    files::replaceFileContents(path, linkPageText(linkMemoText));
}

}  // namespace quill
