#pragma once

#include <QDialog>
#include <vector>

#include "runs/change_preview.hpp"

class QListWidget;
class QTableWidget;

namespace quill {

// Every file a run would change; for the selected one its changed lines
// before and after as a reader sees them. "Kodieren" accepts, "Abbrechen"
// (and closing the window) rejects.
class PreviewDialog : public QDialog {
    Q_OBJECT
public:
    PreviewDialog(std::vector<PreviewFile> files, QWidget* parent = nullptr);

    QListWidget& fileList() { return *files_; }
    QTableWidget& lines() { return *lines_; }

private:
    void showFile(int row);

    std::vector<PreviewFile> changed_;
    QListWidget* files_;
    QTableWidget* lines_;
};

}  // namespace quill
