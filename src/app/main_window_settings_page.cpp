#include "app/main_window.hpp"
#include "settings/extension_list.hpp"
#include "settings/ini_file.hpp"
#include "settings/settings_file.hpp"
#include "ui_main_window.h"

namespace quill {

void TMaskerade::addClick() {
    if (ui->Dateiendung->text().isEmpty()) return;
    ui->Endungen->addItem(ui->Dateiendung->text());
    saveExtensionList(ui->Endungen->entries());
}

void TMaskerade::DelClick() {
    const QList<QListWidgetItem*> selected = ui->Endungen->selectedItems();
    if (!selected.isEmpty()) {
        delete selected.front();
        // As on the desktop, no entry is selected after a deletion.
        ui->Endungen->clearSelection();
    }
    saveExtensionList(ui->Endungen->entries());
}

void TMaskerade::Alle_jaClick() {
    IniFile(settingsFilePath())
        .writeString(settings::kProgramSection, settings::kProtectAllKey,
                     ui->Alle_ja->isChecked() ? settings::kPassiveYes : settings::kPassiveNo);
}

}  // namespace quill
