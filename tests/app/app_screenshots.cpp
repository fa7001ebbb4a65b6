// Renders the main window's pages, the message and error boxes and the progress window as PNG
// files, offscreen: app_screenshots <output folder>
#include <QAbstractButton>
#include <QDir>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QTabWidget>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "app/application.hpp"
#include "app/main_window.hpp"
#include "app/memo.hpp"
#include "app/progress_window.hpp"
#include "support/desktop_fake.hpp"
#include "support/scripted_ftp_server.hpp"
#include "widgets/error_box.hpp"
#include "widgets/message_box.hpp"
#include "widgets/program_look.hpp"
#include "widgets/xp_button.hpp"
#include "widgets/xp_button_painter.hpp"

namespace {

bool save(QWidget& window, const QString& folder, const QString& name) {
    window.setAttribute(Qt::WA_DontShowOnScreen);
    window.show();
    QApplication::processEvents();
    const QString path = folder + QLatin1Char('/') + name + QStringLiteral(".png");
    if (!window.grab().save(path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    quill::Application application(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: app_screenshots <output folder>\n");
        return 2;
    }
    const QString folder = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    QDir().mkpath(folder);

    // The window keeps its files in the working folder: give it a scratch one.
    QTemporaryDir work;
    std::filesystem::current_path(work.path().toStdString());
    std::ofstream("Endungen.qmk", std::ios::binary) << "*.html\r\n*.htm\r\n*.php\r\n";

    bool ok = true;
    quill::TMaskerade window;
    auto* pageControl = window.findChild<QTabWidget*>(QStringLiteral("Auswahl"));
    const auto child = [&window](const char* name) { return window.findChild<QWidget*>(QLatin1String(name)); };
    const char* pages[] = {"mail", "folders", "settings", "decode", "ftp"};
    for (int page = 0; page < 5; ++page) {
        pageControl->setCurrentIndex(page);
        ok &= save(window, folder, QStringLiteral("main_%1_%2").arg(page + 1).arg(QLatin1String(pages[page])));
    }

    pageControl->setCurrentIndex(0);
    static_cast<QLineEdit*>(child("Mail_Edit"))->setText(QStringLiteral("info@example.com"));
    static_cast<QLineEdit*>(child("Betreff_Edit"))->setText(QStringLiteral("Anfrage"));
    static_cast<QAbstractButton*>(child("Go_Mail"))->click();
    ok &= save(window, folder, QStringLiteral("main_mail_encoded"));

    pageControl->setCurrentIndex(3);
    static_cast<quill::Memo*>(child("Kodierter_Text"))
        ->setPlainText(QStringLiteral("&#105&#110&#102&#111\n&#64&#101&#120"));
    static_cast<QAbstractButton*>(child("Dekode"))->click();
    ok &= save(window, folder, QStringLiteral("main_decode_decoded"));

    // The two run pages after a run; the dialogs are answered by a script.
    quill::test::InstalledDesktopFake desktop;
    std::filesystem::create_directories("site/kontakt");
    std::ofstream("site/index.html", std::ios::binary) << "<a href=\"mailto:info@example.com\">Info</a>";
    std::ofstream("site/kontakt/team.htm", std::ios::binary) << "<A HREF=\"mailto:team@example.com\">Team</A>";
    pageControl->setCurrentIndex(1);
    desktop->scriptFolder(QDir::current().filePath(QStringLiteral("site")));
    static_cast<QAbstractButton*>(child("Verzeichnis_suchen"))->click();
    static_cast<QAbstractButton*>(child("Verzeichnis_kodieren"))->click();
    ok &= save(window, folder, QStringLiteral("main_folders_encoded"));

    quill::test::ScriptedFtpServer server;
    server.once("NLST", quill::test::transferOut("index.html\r\nimpressum.html\r\n"));
    server.always("RETR", quill::test::transferOut("<a href=\"mailto:web@example.com\">Web</a>"));
    window.setServerPort(server.port());
    pageControl->setCurrentIndex(4);
    static_cast<QLineEdit*>(child("Host"))->setText(QStringLiteral("127.0.0.1"));
    static_cast<QLineEdit*>(child("User"))->setText(QStringLiteral("web"));
    static_cast<QLineEdit*>(child("Pass"))->setText(QStringLiteral("geheim"));
    static_cast<QLineEdit*>(child("FTPDir"))->setText(QStringLiteral("\\htdocs"));
    static_cast<QAbstractButton*>(child("FTP_Go"))->click();
    ok &= save(window, folder, QStringLiteral("main_ftp_after_run"));
    window.hide();

    quill::MessageBoxDialog information(nullptr, QStringLiteral("Die E-Mail-Adressen wurden erfolgreich kodiert!"),
                                        quill::MessageKind::Information);
    ok &= save(information, folder, QStringLiteral("message_information"));
    quill::MessageBoxDialog error(nullptr, QStringLiteral("Bitte geben Sie einen FTP-Server an!"),
                                  quill::MessageKind::Error);
    ok &= save(error, folder, QStringLiteral("message_error"));
    quill::ErrorBox errorBox(nullptr, QStringLiteral("Quillmaskerade"),
                             QStringLiteral("'72;' ist kein gültiger Integerwert."));
    ok &= save(errorBox, folder, QStringLiteral("error_box"));
    quill::ProgressWindow progress(nullptr);
    progress.showProgress({quill::RunStep::Encoding, 47, 120,
                           QDir::current().filePath(QStringLiteral("site/kontakt/team.htm")).toStdString()});
    ok &= save(progress, folder, QStringLiteral("progress_window"));
    progress.hide();

    // The button in each of its looks, side by side.
    QImage buttons(5 * 81, 29, QImage::Format_RGB32);
    buttons.fill(Qt::white);
    {
        QPainter painter(&buttons);
        const quill::XpButtonState looks[] = {
            {}, {.hovered = true}, {.focused = true}, {.hovered = true, .pressed = true}, {.enabled = false}};
        for (int i = 0; i < 5; ++i)
            quill::paintXpButton(painter, QRect(4 + 81 * i, 4, 73, 21), looks[i], QStringLiteral("OK"),
                                 quill::programFont());
    }
    ok &= buttons.save(folder + QStringLiteral("/buttons.png"));
    return ok ? 0 : 1;
}
