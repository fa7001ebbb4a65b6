#pragma once

#include <QMessageBox>

namespace quill {

// The error box: stop icon, one "OK" button, the application title as
// caption. Ctrl+C beeps and copies its content in the message box's layout.
class ErrorBox : public QMessageBox {
    Q_OBJECT
public:
    ErrorBox(QWidget* owner, const QString& caption, const QString& text);

    // The full text as given (the box shows line breaks as they come).
    QString fullText() const { return fullText_; }
    QString clipboardText() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QString fullText_;
};

}  // namespace quill
