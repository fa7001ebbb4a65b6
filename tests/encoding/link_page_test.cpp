#include "encoding/link_page.hpp"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "files/file_io.hpp"
#include "support/temp_folder.hpp"
#include "text/string_list.hpp"

namespace quill {
namespace {

const std::string kLink = "<a href=\"&#109&#97&#105&#108&#116&#111&#58&#97&#98\">&#97&#98</a>";

TEST(LinkPage, ExactBytes) {
    const std::string expected =
        "<html>\r\n<head>\r\n<!--\r\n" + std::string(80, '#') +
        "\r\n"
        "# Die Datei wurde mit dem Quillmaskerade V 2.6 erstellt!                       #\r\n"
        "# Den Ursprung von Spam zu bek\xe4mpfen ist besser, als Spam-Mails zu bearbeiten! #\r\n"
        "# Infos unter: https://www.quillmaskerade.de" +
        std::string(35, ' ') + "#\r\n" + std::string(80, '#') +
        "\r\n"
        "-->\r\n<title>Verschl&uuml;sselte E-Mail-Adresse</title>\r\n</head>\r\n<body>\r\n<center>\r\n<h1>\r\n" +
        kLink + "\r\n\r\n</h1>\r\n</center>\r\n</body>\r\n</html>\r\n";
    EXPECT_EQ(linkPageText(kLink + "\r\n"), expected);
    const StringList lines = splitLines(expected);
    for (std::size_t i = 3; i <= 7; ++i) EXPECT_EQ(lines[i].size(), 80u) << "line " << i + 1;
}

class LinkPageFile : public test::InTempWorkingFolder {};

TEST_F(LinkPageFile, WrittenIntoTheWorkingFolderAndOverwritten) {
    EXPECT_EQ(linkPagePath(), files::inCurrentFolder("SpamSchutz.html"));
    test::writeFile(linkPagePath(),
                    "old and much longer content than the page will ever need ... " + std::string(4000, 'x'));
    writeLinkPage(linkPagePath(), kLink + "\r\n");
    EXPECT_EQ(test::readFile(linkPagePath()), linkPageText(kLink + "\r\n"));
}

TEST_F(LinkPageFile, AWriteProtectedPageFailsWithItsPathAndKeepsItsContent) {
    const std::string path = linkPagePath();
    test::writeFile(path, "kept");
    ::chmod(path.c_str(), 0444);
    try {
        writeLinkPage(path, kLink + "\r\n");
        ADD_FAILURE() << "no error";
    } catch (const files::FileCreateError& error) {
        EXPECT_EQ(std::string(error.what()), files::createErrorText(path, EACCES));
        EXPECT_NE(std::string(error.what()).find("\"" + path + "\""), std::string::npos);
    }
    EXPECT_EQ(test::readFile(path), "kept");
}

}  // namespace
}  // namespace quill
