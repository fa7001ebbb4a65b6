#include <QFileInfo>
#include <QScopeGuard>

#include "app/main_window.hpp"
#include "app/preview_dialog.hpp"
#include "files/file_io.hpp"
#include "runs/audit_message.hpp"
#include "runs/backup_scope.hpp"
#include "settings/settings_file.hpp"
#include "text/cp1252.hpp"
#include "ui_main_window.h"
#include "widgets/desktop.hpp"
#include "widgets/message_box.hpp"
#include "widgets/qt_text.hpp"

namespace quill {

namespace {

constexpr const char* kFolderPrompt = "Bitte wählen Sie das Verzeichnis aus:";

}  // namespace

void TMaskerade::showRunLists() {
    // Paths are the platform's own bytes; found texts are as their pages hold
    // them, in UTF-8 or in 1252. Each box is filled in one go.
    const auto show = [](QListWidget& box, const StringList& list) {
        QStringList rows;
        rows.reserve(static_cast<qsizetype>(list.size()));
        for (const auto& entry : list) rows.append(displayText(entry));
        box.clear();
        box.addItems(rows);
    };
    show(*ui->Dateien_gefunden, foundFiles_);
    show(*ui->EMail_gefunden, foundTexts_);
}

void TMaskerade::showRunOutcome(const RunOutcome& outcome) {
    showRunLists();
    const MessageKind kind = outcome.kind == OutcomeKind::Information ? MessageKind::Information : MessageKind::Error;
    if (outcome.fullList.empty()) {
        ShowMessageBox(this, utf8ToCp1252(outcome.text), kind);
        return;
    }
    desktop().showListMessageBox(this, QString::fromStdString(outcome.text), kind,
                                 QString::fromStdString(outcome.fullList));
}

bool TMaskerade::runInBackground(const std::function<void()>& work, const std::function<void()>& showState) {
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
    foundFiles_.clear();
    foundTexts_.clear();
    showRunLists();

    // The folder is a path, kept in the settings file with its own bytes.
    settings::SettingsFile file;
    const auto chosen =
        desktop().chooseFolder(this, QString::fromUtf8(kFolderPrompt), QString::fromStdString(file.folder()));
    const std::string folder = chosen ? chosen->toStdString() : std::string(settings::kNoFolder);
    file.setFolder(folder);

    // The files arrive one by one through runner_; a cancel keeps those found.
    const auto guard = qScopeGuard([this] { showRunLists(); });
    const bool includeSubfolders = ui->Unterverz->isChecked();
    const StringList masks = ui->Endungen->entries();
    runInBackground([&] { searchFolder(folder, masks, includeSubfolders, &runner_); }, [this] { showRunLists(); });
}

bool TMaskerade::confirmChanges(const std::vector<PreviewFile>& changes) {
    PreviewDialog dialog(changes, this);
    return dialog.exec() == QDialog::Accepted;
}

void TMaskerade::encodeInBackground(const StringList& files, const std::string& place) {
    auto guard = qScopeGuard([this] { showRunLists(); });
    LocalRunParameters parameters = LocalRunParameters::over(files);
    parameters.foundTexts = foundTexts_;
    parameters.protectAll = ui->Alle_ja->isChecked();
    parameters.observer = &runner_;
    if (ui->Vorschau_ja->isChecked()) {
        RunPreview preview;
        const auto look = [&] {
            parameters.exceptions = ExceptionList::load(exceptionsFilePath());
            preview = previewLocalRun(parameters);
        };
        if (!runInBackground(look, [this] { showRunLists(); })) return;
        // The list as the run would leave it; the run itself begins from the one before.
        foundTexts_ = preview.foundTexts;
        showRunLists();
        if (!confirmChanges(preview.files)) return;
        foundTexts_ = parameters.foundTexts;
        showRunLists();
    }
    std::optional<RunBackup> backup;
    if (ui->Sicherung_ja->isChecked()) {
        backup.emplace(backupsFolder(), RunKind::Local, place);
        parameters.hooks = keepingOriginalsInBatches(*backup);
    }
    LocalRunResult result;
    const auto work = [&] {
        parameters.exceptions = ExceptionList::load(exceptionsFilePath());
        try {
            result = runLocalEncoding(parameters);
        } catch (const std::exception& failure) {
            if (backup) backup->failed(failure.what());
            throw;
        }
        if (backup) backup->readable(readableLines(splitByExceptions(result.readable, parameters.exceptions).counted));
    };
    if (!runInBackground(work, [this] { showRunLists(); })) return;
    foundTexts_ = result.foundTexts;
    guard.dismiss();
    showRunOutcome(result.outcome);
    if (const auto audit = result.auditOutcome(parameters.exceptions)) showRunOutcome(*audit);
}

void TMaskerade::Verzeichnis_kodierenClick() {
    encodeInBackground(foundFiles_, settings::SettingsFile().folder());
}

void TMaskerade::Datei_kodierenClick() {
    const QStringList files = desktop().chooseFiles(this);
    if (files.isEmpty()) return;
    StringList chosen;
    // A chosen link is resolved once, here, so the audit reads what the run wrote.
    for (const QString& path : files) chosen.push_back(quill::files::linkFreePath(path.toStdString()));
    foundFiles_.insert(foundFiles_.end(), chosen.begin(), chosen.end());
    foundFiles_ = withoutRepeats(foundFiles_);
    encodeInBackground(chosen, QFileInfo(files.front()).absolutePath().toStdString());
}

}  // namespace quill
