#include "files/string_list_file.hpp"

#include <gtest/gtest.h>

#include "files/file_io.hpp"
#include "support/temp_folder.hpp"

namespace quill::files {
namespace {

TEST(StringListFile, LoadsTheLinesOfAFile) {
    test::TempFolder folder;
    const auto path = folder.write("Endungen.qmk", "*.html\r\n \n\r\n");
    EXPECT_EQ(loadStringList(path), (StringList{"*.html", " ", ""}));
}

TEST(StringListFile, MissingFileGivesTheOpenError) {
    test::TempFolder folder;
    const auto path = folder.file("Endungen.qmk");
    try {
        loadStringList(path);
        FAIL() << "no error";
    } catch (const FileOpenError& e) {
        EXPECT_EQ(std::string(e.what()),
                  "Datei " + path + " kann nicht geöffnet werden. Das System kann die angegebene Datei nicht finden");
    }
}

}  // namespace
}  // namespace quill::files
