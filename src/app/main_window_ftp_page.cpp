#include <QScopeGuard>

#include "app/main_window.hpp"
#include "app/qt_text.hpp"
#include "ftp/remote_run.hpp"
#include "ui_main_window.h"

namespace quill {

void TMaskerade::FTP_GoClick() {
    ftp::RemoteRunFields fields{toCp1252(ui->Host->text()), toCp1252(ui->User->text()), toCp1252(ui->Pass->text()),
                                toCp1252(ui->FTPDir->text()), ui->Passiv->isChecked()};
    const std::string typedFolder = fields.folder;
    StringList fileBox = ui->FileBox->entries();

    ftp::RemoteRunView view;
    view.refresh = [&] {
        ui->FileBox->setEntries(fileBox);
        if (fields.folder != typedFolder) ui->FTPDir->setText(fromCp1252(fields.folder));
        showRunLists();
    };
    view.showMessage = [&](const RunOutcome& message) {
        view.refresh();
        showRunOutcome(message);
    };
    // A failed run still shows how far it got.
    const auto guard = qScopeGuard([&] { view.refresh(); });

    runs_.includeSubfolders = ui->Unterverz->isChecked();
    runs_.protectAll = ui->Alle_ja->isChecked();
    ftp::FTP_Go(FTPGet, fields, ui->Endungen->entries(), runs_, fileBox, view);
}

}  // namespace quill
