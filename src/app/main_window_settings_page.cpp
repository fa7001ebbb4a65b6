#include "app/main_window.hpp"
#include "settings/extension_list.hpp"
#include "settings/settings_file.hpp"
#include "ui_main_window.h"
#include "widgets/desktop.hpp"
#include "widgets/qt_text.hpp"

namespace quill {

void TMaskerade::addClick() {
    const QString mask = ui->Dateiendung->text();
    if (mask.isEmpty()) return;
    // The list file holds code page 1252: a character outside it would be
    // shown as typed but searched for as "?", so such a mask is refused.
    if (!fitsCp1252(mask)) {
        desktop().showMessageBox(this,
                                 QStringLiteral("Die Dateiendung \"%1\" enthält Zeichen, die nicht gespeichert werden "
                                                "können. Bitte verwenden Sie nur westeuropäische Zeichen.")
                                     .arg(mask),
                                 MessageKind::Error);
        return;
    }
    ui->Endungen->addItem(mask);
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
    settings::SettingsFile().setProtectAll(ui->Alle_ja->isChecked());
}

}  // namespace quill
