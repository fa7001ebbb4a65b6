#include <QScopeGuard>

#include "app/desktop.hpp"
#include "app/main_window.hpp"
#include "app/message_box.hpp"
#include "app/qt_text.hpp"
#include "settings/ini_file.hpp"
#include "settings/settings_file.hpp"
#include "text/cp1252.hpp"
#include "ui_main_window.h"

namespace quill {

namespace {

constexpr const char* kFolderPrompt = "Bitte wählen Sie das Verzeichnis aus:";

}  // namespace

void TMaskerade::showRunLists() {
    // Paths are the platform's own bytes; found texts are as their pages hold
    // them, in UTF-8 or in 1252.
    ui->Dateien_gefunden->clear();
    for (const auto& path : runs_.foundFiles) ui->Dateien_gefunden->addItem(displayText(path));
    ui->EMail_gefunden->clear();
    for (const auto& found : runs_.foundAddresses.items()) ui->EMail_gefunden->addItem(displayText(found));
}

void TMaskerade::showRunOutcome(const RunOutcome& outcome) {
    showRunLists();
    ShowMessageBox(this, utf8ToCp1252(outcome.text),
                   outcome.kind == OutcomeKind::Information ? MessageKind::Information : MessageKind::Error);
}

void TMaskerade::showAuditOf(const StringList& files) {
    if (const auto audit = EncodingRuns::auditOutcome(files)) showRunOutcome(*audit);
}

void TMaskerade::ParserKeyFound(THTMLParser& Sender, const std::string& Key, const std::string& Results,
                                const std::string& OriginalLine) {
    const std::size_t before = runs_.foundAddresses.size();
    runs_.ParserKeyFound(Sender, Key, Results, OriginalLine);
    if (runs_.foundAddresses.size() > before) ui->EMail_gefunden->addItem(displayText(Results));
}

void TMaskerade::Verzeichnis_suchenClick() {
    runs_.clearLists();
    showRunLists();

    // The folder is a path, kept in the settings file with its own bytes.
    IniFile file(settingsFilePath());
    std::string folder = file.readString(settings::kProgramSection, settings::kFolderKey, settings::kFolderDefault);
    const auto chosen =
        desktop().chooseFolder(this, QString::fromUtf8(kFolderPrompt), QString::fromStdString(folder));
    folder = chosen ? chosen->toStdString() : std::string(settings::kFolderDefault);
    file.writeString(settings::kProgramSection, settings::kFolderKey, folder);

    const auto guard = qScopeGuard([this] { showRunLists(); });
    runs_.includeSubfolders = ui->Unterverz->isChecked();
    runs_.searchFolder(folder, ui->Endungen->entries());
}

void TMaskerade::Verzeichnis_kodierenClick() {
    auto guard = qScopeGuard([this] { showRunLists(); });
    runs_.protectAll = ui->Alle_ja->isChecked();
    const StringList files = runs_.foundFiles;
    const RunOutcome outcome = runs_.encodeFoundFiles();
    guard.dismiss();
    showRunOutcome(outcome);
    showAuditOf(files);
}

void TMaskerade::Datei_kodierenClick() {
    const QStringList files = desktop().chooseFiles(this);
    if (files.isEmpty()) return;
    StringList chosen;
    for (const QString& path : files) chosen.push_back(path.toStdString());

    auto guard = qScopeGuard([this] { showRunLists(); });
    runs_.protectAll = ui->Alle_ja->isChecked();
    const RunOutcome outcome = runs_.encodeChosenFiles(chosen);
    guard.dismiss();
    showRunOutcome(outcome);
    showAuditOf(chosen);
}

}  // namespace quill
