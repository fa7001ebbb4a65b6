#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QTabWidget>
#include <QTest>
#include <filesystem>

#include "app/list_box.hpp"
#include "app/memo.hpp"
#include "app_test_support.hpp"

namespace quill {
namespace {

using test::control;

class HandlerTest : public test::WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        writeWorkFile("Endungen.qmk", "");
        window = makeWindow();
    }
    void click(const char* button) { control<QAbstractButton>(*window, button).click(); }

    std::unique_ptr<TMaskerade> window;
};

// Which of the two forms of the help the desktop can open.
struct HelpCase {
    const char* name;
    bool compiledOpens;
    bool pagesOpen;
};

class HelpTest : public HandlerTest, public ::testing::WithParamInterface<HelpCase> {};

TEST_P(HelpTest, OpensTheCompiledHelpElseThePagesElseNamesBoth) {
    const HelpCase& c = GetParam();
    const QString compiled = workPath("Quillmaskerade.chm");
    const QString pages = workPath("Hilfe/index.html");
    if (!c.compiledOpens) desktop->unopenable << compiled;
    if (!c.pagesOpen) desktop->unopenable << pages;
    desktop->unopenableReason = QStringLiteral("no method available");
    click("Help");
    EXPECT_EQ(desktop->shellOpens, (c.compiledOpens ? QStringList{compiled} : QStringList{compiled, pages}));
    EXPECT_TRUE(desktop->messageBoxes.empty());
    if (c.compiledOpens || c.pagesOpen) {
        EXPECT_TRUE(desktop->errorBoxes.empty());
    } else {
        ASSERT_EQ(desktop->errorBoxes.size(), 1u);
        const QString text = desktop->errorBoxes[0].text;
        EXPECT_TRUE(text.startsWith(QStringLiteral("Die Hilfe kann nicht geöffnet werden."))) << text.toStdString();
        EXPECT_EQ(text, QStringLiteral("Die Hilfe kann nicht geöffnet werden.\r\n\"%1\" kann nicht geöffnet werden: no "
                                       "method available.\r\n\"%2\" kann nicht geöffnet werden: no method available.")
                            .arg(compiled, pages));
    }
}

INSTANTIATE_TEST_SUITE_P(Desktops, HelpTest,
                         ::testing::Values(HelpCase{"compiled", true, true}, HelpCase{"pages", false, true},
                                           HelpCase{"nothing", false, false}),
                         [](const ::testing::TestParamInfo<HelpCase>& info) { return info.param.name; });

TEST_F(HandlerTest, F1OnAnyPageOpensTheHelp) {
    window->show();
    QApplication::setActiveWindow(window.get());
    auto& pages = control<QTabWidget>(*window, "Auswahl");
    for (int page = 0; page < pages.count(); ++page) {
        pages.setCurrentIndex(page);
        QTest::keyClick(pages.currentWidget(), Qt::Key_F1);
    }
    EXPECT_EQ(desktop->shellOpens, QStringList(pages.count(), workPath("Quillmaskerade.chm")));
}

TEST_F(HandlerTest, ExitClosesTheWindow) {
    window->show();
    ASSERT_TRUE(window->isVisible());
    click("Exit");
    EXPECT_FALSE(window->isVisible());
}

class CopyTest : public HandlerTest, public ::testing::WithParamInterface<std::pair<const char*, const char*>> {};

TEST_P(CopyTest, CopiesTheWholeMemoKeepsTheSelectionAndTheFocus) {
    const auto [memoName, buttonName] = GetParam();
    auto& memo = control<Memo>(*window, memoName);
    memo.setText(QStringLiteral("&#97&#98\r\nzweite Zeile\r\n"));
    window->show();
    QApplication::setActiveWindow(window.get());
    auto& button = control<QAbstractButton>(*window, buttonName);
    button.setFocus();
    QGuiApplication::clipboard()->clear();

    button.click();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("&#97&#98\r\nzweite Zeile\r\n"));
    EXPECT_TRUE(memo.textCursor().hasSelection());
    EXPECT_EQ(memo.textCursor().selectionStart(), 0);
    EXPECT_EQ(memo.textCursor().selectionEnd(), memo.document()->characterCount() - 1);
    EXPECT_EQ(QApplication::focusWidget(), static_cast<QWidget*>(&button));
}

INSTANTIATE_TEST_SUITE_P(Memos, CopyTest,
                         ::testing::Values(std::pair{"Kodiert_Memo", "Copy_Mail"},
                                           std::pair{"Link_Memo", "Copy_Link"}));

// Extension list edits: typed entries, selection, and what the file holds after.
struct ListCase {
    const char* name;
    const char* fileBefore;
    std::vector<std::pair<const char*, const char*>> steps;  // {"add", text} or {"del", row or ""}
    QStringList entries;
    const char* fileAfter;  // nullptr: the file must not exist
    int refused = 0;        // error messages about a mask that cannot be kept
};

class ExtensionListTest : public test::WindowTest, public ::testing::WithParamInterface<ListCase> {};

TEST_P(ExtensionListTest, EditsTheListAndSavesItAtOnce) {
    const ListCase& c = GetParam();
    if (c.fileBefore != nullptr) writeWorkFile("Endungen.qmk", c.fileBefore);
    const auto window = makeWindow();
    desktop->errorBoxes.clear();
    auto& list = control<ListBox>(*window, "Endungen");
    auto& field = control<QLineEdit>(*window, "Dateiendung");
    for (const auto& [action, argument] : c.steps) {
        if (std::string_view(action) == "add") {
            field.setText(QString::fromUtf8(argument));
            control<QAbstractButton>(*window, "Add").click();
            EXPECT_EQ(field.text(), QString::fromUtf8(argument));  // the field keeps its text
        } else {
            if (*argument != '\0') list.setCurrentRow(std::atoi(argument));
            control<QAbstractButton>(*window, "Del").click();
        }
    }
    QStringList entries;
    for (int i = 0; i < list.count(); ++i) entries << list.item(i)->text();
    EXPECT_EQ(entries, c.entries);
    if (c.fileAfter == nullptr)
        EXPECT_FALSE(std::filesystem::exists(workFile("Endungen.qmk")));
    else
        EXPECT_EQ(readWorkFile("Endungen.qmk"), c.fileAfter);
    EXPECT_TRUE(desktop->errorBoxes.empty());
    ASSERT_EQ(desktop->messageBoxes.size(), static_cast<std::size_t>(c.refused));
    for (const auto& box : desktop->messageBoxes) {
        EXPECT_EQ(box.kind, MessageKind::Error);
        EXPECT_TRUE(box.text.startsWith(QString::fromUtf8("Die Dateiendung \"*.ł\" enthält Zeichen")))
            << box.text.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ExtensionListTest,
    ::testing::Values(
        ListCase{"first add creates the file", nullptr, {{"add", "*.html"}}, {"*.html"}, "*.html\r\n"},
        ListCase{"empty field adds nothing", nullptr, {{"add", ""}}, {}, nullptr},
        ListCase{"a blank is an entry", "", {{"add", " "}}, {" "}, " \r\n"},
        ListCase{"twice gives two entries",
                 "",
                 {{"add", "*.html"}, {"add", "*.html"}},
                 {"*.html", "*.html"},
                 "*.html\r\n*.html\r\n"},
        ListCase{"no form test", "*.htm\r\n", {{"add", "html"}}, {"*.htm", "html"}, "*.htm\r\nhtml\r\n"},
        ListCase{"delete the selected entry", "a\r\nb\r\nc\r\n", {{"del", "1"}}, {"a", "c"}, "a\r\nc\r\n"},
        ListCase{"delete without selection rewrites every byte unchanged", "a\nb", {{"del", ""}}, {"a", "b"}, "a\nb"},
        ListCase{"nothing selected after a deletion",
                 "a\r\nb\r\nc\r\n",
                 {{"del", "0"}, {"del", ""}},
                 {"b", "c"},
                 "b\r\nc\r\n"},
        ListCase{"delete from an empty list", nullptr, {{"del", ""}}, {}, ""},
        ListCase{"a character outside the code page is refused",
                 "",
                 {{"add", "*.ä"}, {"add", "*.ł"}},
                 {"*.ä"},
                 "*.\xE4\r\n",
                 1}),
    [](const ::testing::TestParamInfo<ListCase>& info) {
        std::string name = info.param.name;
        for (char& ch : name)
            if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
        return name;
    });

TEST_F(HandlerTest, AListThatCannotBeSavedIsReportedAndStillShown) {
    std::filesystem::remove(workFile("Endungen.qmk"));
    std::filesystem::create_directory(workFile("Endungen.qmk"));  // cannot be replaced by a file
    control<QLineEdit>(*window, "Dateiendung").setText(QStringLiteral("*.html"));
    click("Add");
    ASSERT_EQ(desktop->errorBoxes.size(), 1u);
    EXPECT_TRUE(desktop->errorBoxes[0].text.startsWith(QStringLiteral("Datei \"") + workPath("Endungen.qmk") +
                                                       QStringLiteral("\" kann nicht erstellt werden. ")))
        << desktop->errorBoxes[0].text.toStdString();
    EXPECT_EQ(control<ListBox>(*window, "Endungen").count(), 1);
}

}  // namespace
}  // namespace quill
