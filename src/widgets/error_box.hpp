#pragma once

#include <QMessageBox>

namespace quill {

// The error box: stop icon, one "OK" button, the application title as
// caption. Ctrl+C beeps and copies its content in the message box's layout.
class ErrorBox : public QMessageBox {
    Q_OBJECT
public:
    ErrorBox(QWidget* owner, const QString& caption, const QString& text);

    // What Ctrl+C copies: the full text as given, in the message box's layout.
    QString clipboardText() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QString fullText_;
};

}  // namespace quill
