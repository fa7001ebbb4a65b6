#pragma once

#include <QMessageBox>

namespace quill {

// A platform-style box whose text the user can take along: Ctrl+C beeps and
// copies caption, full text and button captions in the message box's layout,
// and a button's mnemonic letter alone presses it, as on the desktop's own boxes.
class CopyingMessageBox : public QMessageBox {
    Q_OBJECT
public:
    CopyingMessageBox(Icon icon, const QString& caption, const QString& text, QWidget* owner);

    // What Ctrl+C copies: the full text as given, in the message box's layout.
    QString clipboardText() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QString fullText_;
};

}  // namespace quill
