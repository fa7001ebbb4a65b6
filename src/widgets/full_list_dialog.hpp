#pragma once

#include <QDialog>

class QPlainTextEdit;

namespace quill {

// All lines of a list that a box shows only the start of, read-only and
// selected, so Ctrl+C copies them all at once.
class FullListDialog : public QDialog {
    Q_OBJECT
public:
    FullListDialog(const QString& caption, const QString& lines, QWidget* parent = nullptr);

    QPlainTextEdit& text() { return *text_; }

private:
    QPlainTextEdit* text_;
};

}  // namespace quill
