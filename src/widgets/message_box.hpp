#pragma once

#include <QDialog>
#include <string_view>

#include "widgets/desktop.hpp"

class QLabel;

namespace quill {

class XpButton;

// The program's message box: caption and icon by kind, one "OK" button,
// laid out in dialog units, fixed size, centred on the screen. Enter and
// Escape press "OK"; Ctrl+C beeps and copies the box's content.
class MessageBoxDialog : public QDialog {
    Q_OBJECT
public:
    // With a full list, a second button "Alle anzeigen …" shows it whole,
    // and Ctrl+C copies it instead of the shortened text.
    MessageBoxDialog(QWidget* parent, const QString& text, MessageKind kind, const QString& fullList = {});

    QString caption() const;
    QString text() const { return text_; }
    // What Ctrl+C puts on the clipboard.
    QString clipboardText() const;
    XpButton* okButton() const { return ok_; }
    // "Alle anzeigen …", only with a full list.
    XpButton* listButton() const { return list_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QString text_;
    QLabel* icon_;
    QLabel* label_;
    XpButton* ok_;
    QString fullList_;
    XpButton* list_ = nullptr;
};

// The caption of a message box of the kind.
QString messageBoxCaption(MessageKind kind);

// Reports a result or a refused input (text in code page 1252) through the
// desktop; returns when the user has closed the box.
void ShowMessageBox(QWidget* parent, std::string_view text, MessageKind kind);

}  // namespace quill
