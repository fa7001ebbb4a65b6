#pragma once

#include <QDialog>
#include <string>

class QPlainTextEdit;

namespace quill {

// Edits the exceptions file: one address or path pattern a line, "#" for a
// comment. "Speichern" writes the file (UTF-8, CR LF) and closes; "Abbrechen"
// leaves it as it was.
class ExceptionsDialog : public QDialog {
    Q_OBJECT
public:
    ExceptionsDialog(std::string path, QWidget* parent = nullptr);

    QPlainTextEdit& editor() { return *editor_; }
    // Writes the editor's lines; a failure raises the file error.
    void save();

private:
    std::string path_;
    QPlainTextEdit* editor_;
};

}  // namespace quill
