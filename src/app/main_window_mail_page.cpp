#include <filesystem>

#include "app/main_window.hpp"
#include "encoding/link_page.hpp"
#include "encoding/mail_link.hpp"
#include "html/char_reference.hpp"
#include "settings/settings_file.hpp"
#include "ui_main_window.h"
#include "widgets/desktop.hpp"
#include "widgets/desktop_open.hpp"
#include "widgets/qt_text.hpp"

namespace quill {

namespace {

bool writtenIn(const std::string& page, const std::filesystem::path& folder) {
    if (folder.empty()) return true;  // not known, so nothing to tell
    std::error_code unknown;
    const bool same = std::filesystem::equivalent(std::filesystem::path(page).parent_path(), folder, unknown);
    return unknown ? std::filesystem::path(page).parent_path() == folder : same;
}

}  // namespace

void TMaskerade::Go_MailClick() {
    // The fields are kept before anything else, so they survive a failure.
    settings::SettingsFile().setMail({toSettingsText(ui->Mail_Edit->text()), toSettingsText(ui->Betreff_Edit->text())});

    ui->Kodiert_Memo->clear();
    ui->Link_Memo->clear();
    if (ui->Mail_Edit->text().isEmpty()) return;

    // Typed characters outside the code page are encoded by their code point
    // rather than turned into "?", which would name another address.
    const std::string encodedAddress = fullEncodingOfCharacters(toCodePoints(ui->Mail_Edit->text()));
    ui->Kodiert_Memo->addLine(fromCp1252(encodedAddress));
    ui->Link_Memo->addLine(fromCp1252(buildMailLink(encodedAddress, toCodePoints(ui->Betreff_Edit->text()))));

    if (!ui->Datei_ja->isChecked()) return;
    const std::string page = linkPagePath();
    writeLinkPage(page, toCp1252(ui->Link_Memo->text()));
    openOrFail(QString::fromStdString(page));
    // An installed program writes into the user's data folder; the user who
    // looks for the page where the program was started is told where it is.
    if (!writtenIn(page, startFolder_))
        desktop().showMessageBox(
            this,
            QStringLiteral("Die HTML-Datei wurde erstellt.\r\nSie liegt in \"%1\".").arg(QString::fromStdString(page)),
            MessageKind::Information);
}

}  // namespace quill
