#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QListWidget>
#include <QProgressBar>
#include <chrono>
#include <filesystem>
#include <map>

#include "app/progress_window.hpp"
#include "app_test_support.hpp"
#include "files/file_io.hpp"
#include "remote/remote_run.hpp"
#include "run_gate.hpp"
#include "runs/run_progress.hpp"
#include "support/scripted_ftp_server.hpp"

namespace quill {
namespace {

using namespace std::chrono_literals;
using test::control;
using test::RunGate;
using test::WhenHeld;

std::string link(const std::string& address) {
    return "<a href=\"mailto:" + address + "\">X</a>";
}

bool anyProgressWindowLeft() {
    for (QWidget* top : QApplication::topLevelWidgets())
        if (qobject_cast<ProgressWindow*>(top) != nullptr) return true;
    return false;
}

class RunWindowTest : public test::WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        writeWorkFile("Endungen.qmk", "*.html\r\n");
        for (const char* name : {"a", "b", "c"}) {
            pages.push_back(work().write(std::string("site/") + name + ".html", link(std::string(name) + "@x.de")));
            original.push_back(readFile(pages.back()));
        }
        window = makeWindow();
        desktop->scriptFolder(workPath("site"));
        click("Verzeichnis_suchen");
    }

    void click(const char* name) { control<QAbstractButton>(*window, name).click(); }
    QStringList items(const char* listName) {
        QStringList texts;
        auto& list = control<QListWidget>(*window, listName);
        for (int i = 0; i < list.count(); ++i) texts << list.item(i)->text();
        return texts;
    }
    ProgressWindow* progress() { return window->backgroundRun().progressWindow(); }
    static std::string readFile(const std::string& path) { return test::readFile(path); }

    std::unique_ptr<TMaskerade> window;
    StringList pages;
    StringList original;
};

TEST_F(RunWindowTest, TheWindowKeepsTurningAndShowsFoundAddressesAsTheyAreFound) {
    RunGate gate(files::FileStep::OpenRead, pages[2]);
    // Ready only once the addresses of the two pages scanned so far are shown.
    WhenHeld held(
        gate, [&] { return items("EMail_gefunden").size() == 2; }, [] {});
    click("Verzeichnis_kodieren");
    EXPECT_TRUE(held.acted());
    EXPECT_EQ(items("EMail_gefunden"), (QStringList{"a@x.de\">X", "b@x.de\">X", "c@x.de\">X"}));
    ASSERT_EQ(desktop->messageBoxes.size(), 1u);
    EXPECT_EQ(desktop->messageBoxes[0].text, QString::fromUtf8("Die E-Mail-Adressen wurden erfolgreich kodiert!"));
}

TEST_F(RunWindowTest, TheProgressWindowShowsForALongRunAndNotForAShortOne) {
    for (const auto delay : {0ms, std::chrono::milliseconds(24h)}) {
        const bool longRun = delay == 0ms;
        SCOPED_TRACE(longRun ? "long run" : "short run");
        window->setProgressDelay(delay);
        desktop->messageBoxes.clear();
        RunGate gate(files::FileStep::OpenRead, pages[1]);
        QString step;
        QString current;
        bool shown = false;
        WhenHeld held(
            gate,
            [&] {
                return !longRun ||
                       (progress() != nullptr && progress()->currentText() == QString::fromStdString(pages[1]));
            },
            [&] {
                shown = progress() != nullptr;
                if (shown) {
                    step = progress()->stepText();
                    current = progress()->currentText();
                }
            });
        click("Verzeichnis_kodieren");
        EXPECT_TRUE(held.acted());
        EXPECT_EQ(shown, longRun);
        if (longRun) {
            EXPECT_EQ(step, QString::fromUtf8("Dateien werden durchsucht…"));
            EXPECT_EQ(current, QString::fromStdString(pages[1]));
            EXPECT_TRUE(progress() == nullptr);
        }
        EXPECT_FALSE(anyProgressWindowLeft());
        ASSERT_EQ(desktop->messageBoxes.size(), 1u);
        EXPECT_FALSE(desktop->messageBoxes[0].overModalWindow);
    }
}

// "Abbrechen", Escape and the close box all cancel; the page being rewritten
// is finished, the rest stay as they were, and the box says which.
TEST_F(RunWindowTest, CancellingWhileRewritingFinishesTheCurrentPageAndNamesTheOthers) {
    const std::pair<const char*, std::function<void(ProgressWindow&)>> ways[] = {
        {"button", [](ProgressWindow& w) { control<QAbstractButton>(w, "Abbrechen").click(); }},
        {"escape",
         [](ProgressWindow& w) {
             QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
             QApplication::sendEvent(&w, &escape);
         }},
        {"close box", [](ProgressWindow& w) { w.close(); }},
    };
    window->setProgressDelay(0ms);
    StringList encoded;
    for (const auto& [way, cancel] : ways) {
        SCOPED_TRACE(way);
        for (std::size_t i = 0; i < pages.size(); ++i) test::writeFile(pages[i], original[i]);
        desktop->messageBoxes.clear();
        // The rewrite of b, all scans done.
        RunGate gate([&](files::FileStep step, const std::string& path) {
            return step == files::FileStep::CreateTemp && path == pages[1];
        });
        WhenHeld held(
            gate, [&] { return progress() != nullptr; }, [&] { cancel(*progress()); });
        click("Verzeichnis_kodieren");
        ASSERT_TRUE(held.acted());

        ASSERT_EQ(desktop->messageBoxes.size(), 1u);
        EXPECT_EQ(desktop->messageBoxes[0].kind, MessageKind::Information);
        EXPECT_EQ(desktop->messageBoxes[0].text.toStdString(),
                  cancelledRunMessage(RunCancelled(RunStep::Encoding, 2, {pages[2]})));
        EXPECT_FALSE(anyProgressWindowLeft());
        EXPECT_NE(readFile(pages[0]), original[0]);
        EXPECT_NE(readFile(pages[1]), original[1]);
        EXPECT_EQ(readFile(pages[2]), original[2]);
        if (encoded.empty()) encoded = {readFile(pages[0]), readFile(pages[1])};
        EXPECT_EQ(readFile(pages[0]), encoded[0]);
        EXPECT_EQ(readFile(pages[1]), encoded[1]);
    }
}

TEST_F(RunWindowTest, ClosingTheMainWindowDuringARunCancelsItAndClosesAfterwards) {
    window->show();
    RunGate gate(files::FileStep::OpenRead, pages[1]);
    bool stayedOpen = false;
    WhenHeld held(
        gate, [] { return true; },
        [&] {
            window->close();
            stayedOpen = window->isVisible();
        });
    click("Verzeichnis_kodieren");
    ASSERT_TRUE(held.acted());
    EXPECT_TRUE(stayedOpen);
    EXPECT_FALSE(window->isVisible());
    ASSERT_EQ(desktop->messageBoxes.size(), 1u);
    EXPECT_EQ(desktop->messageBoxes[0].text, QString::fromUtf8("Der Vorgang wurde abgebrochen."));
    for (std::size_t i = 0; i < pages.size(); ++i) EXPECT_EQ(readFile(pages[i]), original[i]);
}

// Each step shows its text, the file in hand and a bar that has moved once
// its first file is done; within a step the bar never goes back.
TEST_F(RunWindowTest, EveryStepShowsItsFileWithABarMovedByTheFilesBefore) {
    window->setProgressDelay(0ms);
    for (const RunStep step : {RunStep::Scanning, RunStep::Encoding}) {
        SCOPED_TRACE(runStepText(step));
        for (std::size_t i = 0; i < pages.size(); ++i) test::writeFile(pages[i], original[i]);
        // The second page in that step: the scan reads it, the rewrite writes it.
        const files::FileStep held =
            step == RunStep::Scanning ? files::FileStep::OpenRead : files::FileStep::CreateTemp;
        RunGate gate(held, pages[1]);
        std::vector<std::pair<QString, int>> barValues;
        QProgressBar* watched = nullptr;
        int value = -1;
        int maximum = -1;
        WhenHeld whenHeld(
            gate,
            [&] {
                if (progress() == nullptr) return false;
                if (watched == nullptr) {
                    watched = &control<QProgressBar>(*progress(), "Fortschritt");
                    QObject::connect(watched, &QProgressBar::valueChanged, [&](int shown) {
                        barValues.emplace_back(progress() != nullptr ? progress()->stepText() : QString(), shown);
                    });
                }
                return progress()->stepText() == QString::fromUtf8(runStepText(step)) &&
                       progress()->currentText() == QString::fromStdString(pages[1]);
            },
            [&] {
                value = progress()->barValue();
                maximum = progress()->barMaximum();
            });
        click("Verzeichnis_kodieren");
        ASSERT_TRUE(whenHeld.acted());
        EXPECT_GT(value, 0);
        EXPECT_LT(value, maximum);
        for (std::size_t i = 1; i < barValues.size(); ++i) {
            if (barValues[i].first != barValues[i - 1].first) continue;
            EXPECT_GE(barValues[i].second, barValues[i - 1].second) << barValues[i].first.toStdString();
        }
    }
}

class RemoteRunWindowTest : public test::WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        writeRemoteRunFiles();
        window = makeWindow();
        window->setServerPort(server.port());
        window->setProgressDelay(0ms);
        for (const char* name : {"a.html", "b.html"}) server.putFile(name, page);
    }
    void start() { control<QAbstractButton>(*window, "FTP_Go").click(); }
    ProgressWindow* progress() { return window->backgroundRun().progressWindow(); }

    const std::string page = link("a@x.de");
    test::ScriptedFtpServer server;
    std::unique_ptr<TMaskerade> window;
};

TEST_F(RemoteRunWindowTest, TheBoxBeforeTheUploadsStandsAloneAndTheRunGoesOn) {
    RunGate gate(files::FileStep::Write, workFile("FTP-Inhalt/a.html"));
    QString step;
    WhenHeld held(
        gate, [&] { return progress() != nullptr && progress()->currentText() == "a.html"; },
        [&] { step = progress()->stepText(); });
    start();
    ASSERT_TRUE(held.acted());
    EXPECT_EQ(step, QString::fromUtf8("Dateien werden heruntergeladen…"));
    EXPECT_TRUE(desktop->errorBoxes.empty());
    ASSERT_EQ(desktop->messageBoxes.size(), 1u);
    EXPECT_EQ(desktop->messageBoxes[0].text, QString::fromUtf8("Die E-Mail-Adressen wurden erfolgreich kodiert!"));
    EXPECT_FALSE(desktop->messageBoxes[0].overModalWindow);
    const auto pages = server.files();
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_NE(pages.at("a.html"), page);
    EXPECT_EQ(pages.at("b.html"), pages.at("a.html"));
    EXPECT_FALSE(anyProgressWindowLeft());
}

TEST_F(RemoteRunWindowTest, CancellingWhileDownloadingLeavesTheServerAloneAndRemovesTheCopies) {
    RunGate gate(files::FileStep::Write, workFile("FTP-Inhalt/b.html"));
    WhenHeld held(
        gate, [&] { return progress() != nullptr; },
        [&] { control<QAbstractButton>(*progress(), "Abbrechen").click(); });
    start();
    ASSERT_TRUE(held.acted());
    ASSERT_EQ(desktop->messageBoxes.size(), 1u);
    EXPECT_EQ(desktop->messageBoxes[0].text.toStdString(),
              cancelledRunMessage(RunCancelled(RunStep::Uploading, 0, {"a.html", "b.html"})));
    EXPECT_TRUE(server.uploads().empty());
    EXPECT_EQ(server.files(), (std::map<std::string, std::string>{{"a.html", page}, {"b.html", page}}));
    EXPECT_FALSE(files::fileExists(workFile("FTP-Inhalt/a.html")));
    EXPECT_FALSE(files::fileExists(workFile("FTP-Inhalt/b.html")));
    EXPECT_EQ(control<QListWidget>(*window, "Dateien_gefunden").count(), 0);
    EXPECT_TRUE(server.waitForConnectionsEnded(1));
}

// A page over 1 MB moves the bar while it comes down, before it is done.
TEST_F(RemoteRunWindowTest, ALargePageMovesTheBarWhileItDownloads) {
    server.putFile("c.html", page + std::string(3 * 1024 * 1024, 'x'));
    const std::string copy = workFile("FTP-Inhalt/c.html");
    RunGate gate([&](files::FileStep step, const std::string& path) {
        std::error_code unknown;
        return step == files::FileStep::Write && path == copy &&
               std::filesystem::file_size(path, unknown) >= 3 * ItemBytes::kEvery / 2 && !unknown;
    });
    QString step;
    WhenHeld held(
        gate,
        [&] {
            // Past the two small pages, short of the end.
            return progress() != nullptr && progress()->currentText() == "c.html" &&
                   3LL * progress()->barValue() > 2LL * progress()->barMaximum() &&
                   progress()->barValue() < progress()->barMaximum();
        },
        [&] { step = progress()->stepText(); });
    start();
    ASSERT_TRUE(held.acted());
    EXPECT_EQ(step, QString::fromUtf8("Dateien werden heruntergeladen…"));
}

}  // namespace
}  // namespace quill
