#include <QScopeGuard>

#include "app/application_title.hpp"
#include "app/main_window.hpp"
#include "remote/remote_run.hpp"
#include "remote/server_address.hpp"
#include "remote/server_connection.hpp"
#include "ui_main_window.h"
#include "widgets/desktop.hpp"
#include "widgets/qt_text.hpp"

namespace quill {

void TMaskerade::FTP_UnterordnerToggled(bool on) {
    static const QString unticked = QString::fromUtf8("Unterverzeichnisse werden nicht berücksichtigt.");
    static const QString ticked = QString::fromUtf8("Unterverzeichnisse werden ebenfalls berücksichtigt.");
    QString text = ui->Label1->text();
    text.replace(on ? unticked : ticked, on ? ticked : unticked);
    ui->Label1->setText(text);
}

void TMaskerade::HostChange() {
    const bool sftp = ftp::selectsSftp(toCp1252(ui->Host->text()));
    ui->Passiv->setEnabled(!sftp);
    ui->TLS_ja->setEnabled(!sftp);
}

void TMaskerade::FTP_GoClick() {
    ftp::RemoteRunFields fields{toCp1252(ui->Host->text()),      toCp1252(ui->User->text()), toCp1252(ui->Pass->text()),
                                toCp1252(ui->FTPDir->text()),    ui->Passiv->isChecked(),    ui->TLS_ja->isChecked(),
                                ui->FTP_Unterordner->isChecked()};
    const std::string typedFolder = fields.folder;
    StringList fileBox = ui->FileBox->entries();

    // The run goes on the worker; what it shows comes back to this thread
    // while it waits, so the fields and lists are read by one thread at a time.
    const auto refresh = [&] {
        ui->FileBox->setEntries(fileBox);
        if (fields.folder != typedFolder) ui->FTPDir->setText(fromCp1252(fields.folder));
        showRunLists();
    };
    ftp::RemoteRunView view;
    view.refresh = [&] { runner_.onWindowThread(refresh); };
    view.showMessage = [&](const RunOutcome& message) {
        runner_.onWindowThread([&] {
            refresh();
            showRunOutcome(message);
        });
    };
    view.askQuestion = [&](const std::string& question) {
        bool yes = false;
        runner_.onWindowThread(
            [&] { yes = desktop().askQuestion(this, applicationTitle(), QString::fromStdString(question)); });
        return yes;
    };
    if (ui->Sicherung_ja->isChecked()) view.backupRoot = backupsFolder();
    if (ui->Vorschau_ja->isChecked()) {
        view.confirmChanges = [&](const std::vector<PreviewFile>& changes) {
            bool encode = false;
            runner_.onWindowThread([&] {
                refresh();
                encode = confirmChanges(changes);
            });
            return encode;
        };
    }
    // The worker's own lists, begun from the window's; what it adds comes
    // back through runner_ as it goes, and the lists as the run left them
    // (emptied at its end, or as far as it got) once it has stopped.
    EncodingRuns runs;
    runs.foundFiles = foundFiles_;
    for (const auto& text : foundTexts_) runs.foundAddresses.add(text);
    runs.includeSubfolders = ui->Unterverz->isChecked();
    runs.protectAll = ui->Alle_ja->isChecked();
    runs.observer = &runner_;
    const auto guard = qScopeGuard([&] {
        foundFiles_ = runs.foundFiles;
        foundTexts_ = runs.foundAddresses.items();
        refresh();
    });

    const StringList masks = ui->Endungen->entries();
    const auto server = remote::serverConnection(serverPort_);
    runInBackground(
        [&] {
            runs.exceptions = ExceptionList::load(exceptionsFilePath());
            ftp::FTP_Go(*server, fields, masks, runs, fileBox, view);
        },
        [&] {
            foundFiles_ = runs.foundFiles;
            foundTexts_ = runs.foundAddresses.items();
            refresh();
        });
}

}  // namespace quill
