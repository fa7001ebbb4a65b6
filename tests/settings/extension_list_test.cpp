#include "settings/extension_list.hpp"

#include <gtest/gtest.h>

#include "files/file_io.hpp"
#include "settings/settings_file.hpp"
#include "support/temp_folder.hpp"

namespace quill {
namespace {

using ExtensionList = test::InTempWorkingFolder;

TEST_F(ExtensionList, LivesInTheWorkingFolderReadAnewAtEveryAccess) {
    EXPECT_EQ(extensionListPath(), work().path() + "/Endungen.qmk");
    EXPECT_EQ(settingsFilePath(), work().path() + "/Einstellungen.qmk");
}

TEST_F(ExtensionList, MissingFileRaisesTheOpenError) {
    try {
        loadExtensionList();
        FAIL() << "no error";
    } catch (const files::FileOpenError& e) {
        EXPECT_EQ(std::string(e.what()), "Datei " + work().path() +
                                             "/Endungen.qmk kann nicht geöffnet werden. Das System kann die "
                                             "angegebene Datei nicht finden");
    }
}

TEST_F(ExtensionList, SavesEveryEntryWithCrLfAndLoadsItBack) {
    saveExtensionList({"*.html", " ", "*.html", "html"});
    EXPECT_EQ(work().read("Endungen.qmk"), "*.html\r\n \r\n*.html\r\nhtml\r\n");
    EXPECT_EQ(loadExtensionList(), (StringList{"*.html", " ", "*.html", "html"}));
    saveExtensionList({});
    EXPECT_EQ(work().read("Endungen.qmk"), "");
    EXPECT_TRUE(loadExtensionList().empty());
}

TEST_F(ExtensionList, SaveFailureNamesThePathInQuotes) {
    work().write("Endungen.qmk", "*.htm\r\n");
    ::chmod(work().file("Endungen.qmk").c_str(), 0444);
    try {
        saveExtensionList({"*.html"});
        FAIL() << "no error";
    } catch (const files::FileCreateError& e) {
        EXPECT_EQ(std::string(e.what()),
                  "Datei \"" + work().path() + "/Endungen.qmk\" kann nicht erstellt werden. Zugriff verweigert");
    }
    EXPECT_EQ(work().read("Endungen.qmk"), "*.htm\r\n");
}

}  // namespace
}  // namespace quill
