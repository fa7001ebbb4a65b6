// Renders the info windows offscreen into PNG files, so their look can be
// checked by eye: info_screenshots <output folder>
#include <QApplication>
#include <QDir>
#include <QWidget>
#include <cstdio>
#include <cstdlib>

#include "info/about_box.hpp"
#include "info/credit.hpp"
#include "info/vk_tobrin.hpp"

namespace {

bool save(QWidget& window, const QString& folder, const QString& name) {
    const QString path = QDir(folder).filePath(name);
    if (!window.grab().save(path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("screenshots");
    QDir().mkpath(folder);

    // Rendered without showing, so no music is looked for and nothing waits.
    quill::TAboutBox about;
    quill::Tcredit credit;
    quill::TVK_Tobrin card;
    credit.setBusinessCard(&card);

    bool ok = save(about, folder, QStringLiteral("info_about.png"));
    ok = save(credit, folder, QStringLiteral("info_credits_start.png")) && ok;
    for (int tick = 0; tick < 87; ++tick) credit.Timer1Timer();
    ok = save(credit, folder, QStringLiteral("info_credits_title_gone.png")) && ok;
    for (int tick = 0; tick < 76; ++tick) credit.Timer2Timer();
    ok = save(credit, folder, QStringLiteral("info_credits_music_credit.png")) && ok;
    credit.FormClose();
    ok = save(credit, folder, QStringLiteral("info_credits_closing.png")) && ok;
    card.hide();
    ok = save(card, folder, QStringLiteral("info_business_card.png")) && ok;
    return ok ? 0 : 1;
}
