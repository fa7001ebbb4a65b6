#include <QScopeGuard>

#include "widgets/desktop.hpp"
#include "app/main_window.hpp"
#include "widgets/message_box.hpp"
#include "widgets/qt_text.hpp"
#include "files/file_io.hpp"
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

bool TMaskerade::runInBackground(const std::function<void()>& work, const std::function<void()>& showState) {
    runs_.observer = &runner_;
    const auto detach = qScopeGuard([this] { runs_.observer = nullptr; });
    try {
        runner_.run(work);
        return true;
    } catch (const RunCancelled& cancelled) {
        showState();
        desktop().showMessageBox(this, QString::fromStdString(cancelledRunMessage(cancelled)),
                                 MessageKind::Information);
        return false;
    }
}

void TMaskerade::Verzeichnis_suchenClick() {
    runs_.clearLists();
    showRunLists();

    // The folder is a path, kept in the settings file with its own bytes.
    settings::SettingsFile file;
    const auto chosen =
        desktop().chooseFolder(this, QString::fromUtf8(kFolderPrompt), QString::fromStdString(file.folder()));
    const std::string folder = chosen ? chosen->toStdString() : std::string(settings::kNoFolder);
    file.setFolder(folder);

    const auto guard = qScopeGuard([this] { showRunLists(); });
    runs_.includeSubfolders = ui->Unterverz->isChecked();
    const StringList masks = ui->Endungen->entries();
    runInBackground([&] { runs_.searchFolder(folder, masks); }, [this] { showRunLists(); });
}

void TMaskerade::encodeInBackground(const std::function<RunOutcome()>& encode, const StringList& files) {
    auto guard = qScopeGuard([this] { showRunLists(); });
    runs_.protectAll = ui->Alle_ja->isChecked();
    RunOutcome outcome{};
    std::optional<RunOutcome> audit;
    const auto work = [&] {
        runs_.exceptions = ExceptionList::load(exceptionsFilePath());
        outcome = encode();
        audit = runs_.auditOutcome(files);
    };
    if (!runInBackground(work, [this] { showRunLists(); })) return;
    guard.dismiss();
    showRunOutcome(outcome);
    if (audit) showRunOutcome(*audit);
}

void TMaskerade::Verzeichnis_kodierenClick() {
    const StringList files = runs_.foundFiles;
    encodeInBackground([this] { return runs_.encodeFoundFiles(); }, files);
}

void TMaskerade::Datei_kodierenClick() {
    const QStringList files = desktop().chooseFiles(this);
    if (files.isEmpty()) return;
    StringList chosen;
    // A chosen link is resolved once, here, so the audit reads what the run wrote.
    for (const QString& path : files) chosen.push_back(quill::files::linkFreePath(path.toStdString()));
    encodeInBackground([&] { return runs_.encodeChosenFiles(chosen); }, chosen);
}

}  // namespace quill
