#pragma once

#include <QDialog>
#include <optional>
#include <vector>

#include "runs/run_backup.hpp"

class QTreeWidget;

namespace quill {

// The kept runs of one kind, newest first, with date, kind, place and number
// of files; "Rückgängig machen" chooses the selected one (the newest at first).
class UndoDialog : public QDialog {
    Q_OBJECT
public:
    UndoDialog(std::vector<KeptRun> runs, QWidget* parent = nullptr);

    QTreeWidget& list() { return *list_; }
    // The run chosen when the dialog was accepted.
    std::optional<KeptRun> chosen() const;

private:
    std::vector<KeptRun> runs_;
    QTreeWidget* list_;
};

// "2026-12-07_15-40-12" as "07.12.2026 15:40:12"; another name as it is.
QString runDateText(const std::string& name);

}  // namespace quill
