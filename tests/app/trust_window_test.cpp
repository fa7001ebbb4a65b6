#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTableWidget>
#include <QTimer>
#include <QTreeWidget>
#include <functional>

#include "app/exceptions_dialog.hpp"
#include "app/preview_dialog.hpp"
#include "app/undo_dialog.hpp"
#include "app_test_support.hpp"
#include "runs/run_backup.hpp"
#include "widgets/full_list_dialog.hpp"
#include "widgets/message_box.hpp"
#include "widgets/xp_button.hpp"

namespace quill {
namespace {

using test::control;

const std::string kLink = "<a href=\"mailto:a@b.de\">A</a>\r\n";
const std::string kMailtoText = "<p>mailto: b&#64;c.de</p>\r\n";

// Answers the next modal dialog of the class once it shows (the run before
// it may take a while on the worker); a dialog that never comes fails.
template <typename Dialog>
class DialogAnswer {
public:
    explicit DialogAnswer(std::function<void(Dialog&)> answer) : answer_(std::move(answer)) {
        timer_.setInterval(10);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget())) {
                timer_.stop();
                answered_ = true;
                answer_(*dialog);
            } else if (++ticks_ > 1000) {
                timer_.stop();
            }
        });
        timer_.start();
    }
    bool answered() const { return answered_; }

private:
    std::function<void(Dialog&)> answer_;
    QTimer timer_;
    int ticks_ = 0;
    bool answered_ = false;
};

class TrustWindowTest : public test::WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        writeWorkFile("Endungen.qmk", "*.html\r\n");
        writeWorkFile("site/index.html", kLink);
        writeWorkFile("site/team.html", kMailtoText);
        window = makeWindow();
    }
    void click(const char* name) { control<QAbstractButton>(*window, name).click(); }
    void encodeSite() {
        desktop->scriptFolder(workPath("site"));
        click("Verzeichnis_suchen");
        click("Verzeichnis_kodieren");
    }
    std::map<std::string, std::string> site() {
        return {{"index", readWorkFile("site/index.html")}, {"team", readWorkFile("site/team.html")}};
    }

    std::unique_ptr<TMaskerade> window;
};

TEST_F(TrustWindowTest, TheNewSwitchesFollowTheirKeysAndSitInFreeSpace) {
    auto& backup = control<QCheckBox>(*window, "Sicherung_ja");
    auto& preview = control<QCheckBox>(*window, "Vorschau_ja");
    // Missing keys: backup on, preview off.
    EXPECT_TRUE(backup.isChecked());
    EXPECT_FALSE(preview.isChecked());
    backup.click();
    preview.click();
    EXPECT_EQ(readWorkFile("Einstellungen.qmk"), "[Quillmaskerade]\r\nSicherung=Nein\r\nVorschau=Ja\r\n");
    const auto again = makeWindow();
    EXPECT_FALSE(control<QCheckBox>(*again, "Sicherung_ja").isChecked());
    EXPECT_TRUE(control<QCheckBox>(*again, "Vorschau_ja").isChecked());

    // Every new control lies inside its page, overlaps no other control and
    // shows its whole caption.
    for (const char* name : {"Sicherung_ja", "Vorschau_ja", "Ausnahmen", "Rueckgaengig", "FTP_Rueckgaengig"}) {
        SCOPED_TRACE(name);
        auto& added = control<QAbstractButton>(*window, name);
        QWidget* page = added.parentWidget();
        window->show();
        EXPECT_TRUE(page->rect().contains(added.geometry())) << page->size().height();
        for (QWidget* other : page->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
            if (other != &added && other->isVisibleTo(page)) {
                EXPECT_FALSE(other->geometry().intersects(added.geometry())) << other->objectName().toStdString();
            }
        if (qobject_cast<QCheckBox*>(&added) != nullptr) {
            EXPECT_LE(added.fontMetrics().horizontalAdvance(added.text()) + 20, added.width());
        } else {
            // A button wraps its caption at blanks.
            const QRect caption =
                added.fontMetrics().boundingRect(QRect(0, 0, added.width() - 4, 1000), Qt::TextWordWrap, added.text());
            EXPECT_LE(caption.width(), added.width() - 4);
            EXPECT_LE(caption.height(), added.height() - 4);
        }
    }
}

TEST_F(TrustWindowTest, ARunIsBackedUpAndUndoRestoresItButNotALaterEdit) {
    const auto original = site();
    encodeSite();
    ASSERT_NE(site(), original);
    writeWorkFile("site/team.html", "von Hand");

    const DialogAnswer<UndoDialog> answer([](UndoDialog& dialog) {
        EXPECT_EQ(dialog.list().topLevelItemCount(), 1);
        EXPECT_EQ(dialog.list().topLevelItem(0)->text(3), QStringLiteral("2"));
        dialog.accept();
    });
    click("Rueckgaengig");
    EXPECT_TRUE(answer.answered());
    EXPECT_EQ(readWorkFile("site/index.html"), original.at("index"));
    EXPECT_EQ(readWorkFile("site/team.html"), "von Hand");
    ASSERT_FALSE(desktop->messageBoxes.empty());
    EXPECT_TRUE(desktop->messageBoxes.back().text.contains(workPath("site/team.html")));
    EXPECT_EQ(desktop->messageBoxes.back().kind, MessageKind::Error);
}

TEST_F(TrustWindowTest, WithoutTheBackupNothingIsKept) {
    control<QCheckBox>(*window, "Sicherung_ja").click();
    encodeSite();
    EXPECT_TRUE(keptRuns(backupsFolder()).empty());
    click("Rueckgaengig");
    ASSERT_FALSE(desktop->messageBoxes.empty());
    EXPECT_EQ(desktop->messageBoxes.back().text, QStringLiteral("Es gibt keine gesicherten Läufe."));
}

// "Abbrechen" changes nothing; "Kodieren" gives the bytes of a run without preview.
TEST_F(TrustWindowTest, ThePreviewShowsEveryChangeAndEncodesOnlyWhenAsked) {
    writeWorkFile("plain/index.html", kLink);
    writeWorkFile("plain/team.html", kMailtoText);
    desktop->scriptFolder(workPath("plain"));
    click("Verzeichnis_suchen");
    click("Verzeichnis_kodieren");
    const std::string expectedIndex = readWorkFile("plain/index.html");

    control<QCheckBox>(*window, "Vorschau_ja").click();
    const auto original = site();
    for (const bool encode : {false, true}) {
        SCOPED_TRACE(encode);
        const DialogAnswer<PreviewDialog> answer([encode](PreviewDialog& dialog) {
            EXPECT_EQ(dialog.fileList().count(), 2);
            dialog.fileList().setCurrentRow(0);
            ASSERT_GE(dialog.lines().rowCount(), 1);
            // As a reader sees it: the encoded line reads as before.
            EXPECT_EQ(dialog.lines().item(0, 1)->text(), dialog.lines().item(0, 2)->text());
            EXPECT_TRUE(dialog.lines().item(0, 2)->text().contains(QStringLiteral("mailto:a@b.de")));
            encode ? dialog.accept() : dialog.reject();
        });
        encodeSite();
        EXPECT_TRUE(answer.answered());
        if (!encode) {
            EXPECT_EQ(site(), original);
        }
    }
    EXPECT_EQ(readWorkFile("site/index.html"), expectedIndex);
    EXPECT_EQ(readWorkFile("site/team.html"), readWorkFile("plain/team.html"));
}

TEST_F(TrustWindowTest, TheExceptionsDialogEditsTheFileTheRunsRead) {
    writeWorkFile("site/index.html", "<p>info@example.de und privat@example.de</p>\r\n");
    control<QCheckBox>(*window, "Alle_ja").click();
    const DialogAnswer<ExceptionsDialog> answer([](ExceptionsDialog& dialog) {
        dialog.editor().setPlainText(QStringLiteral("# bleibt lesbar\nINFO@example.de"));
        control<QAbstractButton>(dialog, "Speichern").click();
    });
    click("Ausnahmen");
    EXPECT_TRUE(answer.answered());
    EXPECT_EQ(readWorkFile("Ausnahmen.qmk"), "# bleibt lesbar\r\nINFO@example.de\r\n");

    encodeSite();
    const std::string page = readWorkFile("site/index.html");
    EXPECT_NE(page.find("info@example.de"), std::string::npos);
    EXPECT_EQ(page.find("privat@example.de"), std::string::npos);
    // The accepted address is no reason for the audit's box.
    for (const auto& box : desktop->messageBoxes) {
        EXPECT_FALSE(box.text.contains(QStringLiteral("lesbar"))) << box.text.toStdString();
    }
}

// The audit's box names 20 addresses; its full list goes with it, can be
// shown whole and is what Ctrl+C copies.
TEST_F(TrustWindowTest, TheAuditBoxCarriesTheFullList) {
    std::string page;
    for (int i = 0; i < 25; ++i) page += "<p>nutzer" + std::to_string(i) + "@example.de</p>\n";
    writeWorkFile("site/team.html", page);
    encodeSite();
    ASSERT_FALSE(desktop->messageBoxes.empty());
    const auto& box = desktop->messageBoxes.back();
    EXPECT_TRUE(box.text.contains(QStringLiteral("und 5 weitere")));
    EXPECT_EQ(box.fullList.count(QStringLiteral("\r\n")), 25);
    EXPECT_TRUE(box.fullList.contains(workPath("site/team.html") + QStringLiteral(":25:4: nutzer24@example.de\r\n")));

    MessageBoxDialog dialog(nullptr, box.text, box.kind, box.fullList);
    ASSERT_NE(dialog.listButton(), nullptr);
    EXPECT_TRUE(dialog.clipboardText().contains(box.fullList));
    EXPECT_FALSE(dialog.okButton()->geometry().intersects(dialog.listButton()->geometry()));
    EXPECT_TRUE(dialog.rect().contains(dialog.listButton()->geometry()));
    const DialogAnswer<FullListDialog> answer([&](FullListDialog& all) {
        EXPECT_EQ(all.text().textCursor().selectedText().count(QChar(QChar::ParagraphSeparator)), 25);
        all.reject();
    });
    dialog.listButton()->click();
    EXPECT_TRUE(answer.answered());
    EXPECT_EQ(MessageBoxDialog(nullptr, box.text, box.kind).listButton(), nullptr);
}

}  // namespace
}  // namespace quill
