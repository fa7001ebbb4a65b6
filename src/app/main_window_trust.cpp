#include "app/application_title.hpp"
#include "app/exceptions_dialog.hpp"
#include "app/main_window.hpp"
#include "app/undo_dialog.hpp"
#include "remote/remote_undo.hpp"
#include "remote/server_connection.hpp"
#include "runs/exception_list.hpp"
#include "runs/run_backup.hpp"
#include "settings/settings_file.hpp"
#include "ui_main_window.h"
#include "widgets/desktop.hpp"
#include "widgets/qt_text.hpp"

namespace quill {

namespace {

// The kept runs of one kind, newest first.
std::vector<KeptRun> keptRunsOf(RunKind kind) {
    std::vector<KeptRun> runs = keptRuns(backupsFolder());
    std::erase_if(runs, [kind](const KeptRun& run) { return run.kind != kind; });
    return runs;
}

}  // namespace

void TMaskerade::Sicherung_jaClick() {
    settings::SettingsFile().setBackup(ui->Sicherung_ja->isChecked());
}

void TMaskerade::Vorschau_jaClick() {
    settings::SettingsFile().setPreview(ui->Vorschau_ja->isChecked());
}

void TMaskerade::AusnahmenClick() {
    ExceptionsDialog dialog(exceptionsFilePath(), this);
    dialog.exec();
}

std::optional<KeptRun> TMaskerade::chooseKeptRun(RunKind kind) {
    std::vector<KeptRun> runs = keptRunsOf(kind);
    if (runs.empty()) {
        desktop().showMessageBox(this, QStringLiteral("Es gibt keine gesicherten Läufe."), MessageKind::Information);
        return std::nullopt;
    }
    UndoDialog dialog(std::move(runs), this);
    dialog.exec();
    return dialog.chosen();
}

void TMaskerade::showUndoResult(const UndoResult& result) {
    desktop().showMessageBox(this, QString::fromStdString(undoReport(result)),
                             result.leftAlone.empty() ? MessageKind::Information : MessageKind::Error);
}

void TMaskerade::RueckgaengigClick() {
    const std::optional<KeptRun> run = chooseKeptRun(RunKind::Local);
    if (!run) return;
    UndoResult result;
    if (!runInBackground([&] { result = undoLocalRun(*run); }, [] {})) return;
    showUndoResult(result);
}

void TMaskerade::FTP_RueckgaengigClick() {
    const std::optional<KeptRun> run = chooseKeptRun(RunKind::Remote);
    if (!run) return;
    const ftp::RemoteRunFields fields{toCp1252(ui->Host->text()), toCp1252(ui->User->text()),
                                      toCp1252(ui->Pass->text()), toCp1252(ui->FTPDir->text()),
                                      ui->Passiv->isChecked(),    ui->TLS_ja->isChecked()};
    const auto ask = [this](const std::string& question) {
        bool yes = false;
        runner_.onWindowThread(
            [&] { yes = desktop().askQuestion(this, applicationTitle(), QString::fromStdString(question)); });
        return yes;
    };
    const auto server = remote::serverConnection(serverPort_);
    UndoResult result;
    if (!runInBackground([&] { result = ftp::undoRemoteRun(*server, fields, *run, ask); }, [] {})) return;
    showUndoResult(result);
}

}  // namespace quill
