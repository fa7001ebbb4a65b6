// Encodes a folder of pages with the local run, as "Verzeichnis kodieren"
// does, or writes link pages as the single-address encoder does, for the
// browser-view check.
//   site_encoder run FOLDER
//   site_encoder link PAGE ADDRESS SUBJECT      (address and subject in UTF-8)
#include <iostream>
#include <string>

#include "encoding/link_page.hpp"
#include "encoding/mail_link.hpp"
#include "html/char_reference.hpp"
#include "runs/local_run.hpp"
#include "text/cp1252.hpp"

int main(int argc, char** argv) {
    using namespace quill;
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "run" && argc == 3) {
        const StringList files = searchFolder(argv[2], {"*.htm"}, true);
        std::cout << runLocalEncoding(LocalRunParameters::over(files)).outcome.text << '\n';
        return 0;
    }
    if (mode == "link" && argc == 5) {
        const std::string address = fullEncodingOfCharacters(utf8ToCodePoints(argv[3]));
        writeLinkPage(argv[2], buildMailLink(address, utf8ToCodePoints(argv[4])) + "\r\n");
        return 0;
    }
    std::cerr << "usage: site_encoder run FOLDER | link PAGE ADDRESS SUBJECT\n";
    return 2;
}
