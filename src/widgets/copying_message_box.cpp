#include "widgets/copying_message_box.hpp"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>

#include "widgets/box_clipboard_text.hpp"

namespace quill {

namespace {

// The button whose mnemonic ("&J" in "&Ja") is the key, if any.
QAbstractButton* buttonForMnemonic(const QList<QAbstractButton*>& buttons, int key) {
    for (QAbstractButton* button : buttons) {
        const QKeySequence mnemonic = QKeySequence::mnemonic(button->text());
        if (!mnemonic.isEmpty() && mnemonic[0].key() == key) return button;
    }
    return nullptr;
}

}  // namespace

CopyingMessageBox::CopyingMessageBox(Icon icon, const QString& caption, const QString& text, QWidget* owner)
    : QMessageBox(icon, caption, QString(), QMessageBox::NoButton, owner), fullText_(text) {
    setTextFormat(Qt::PlainText);
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    setText(shown);
}

QString CopyingMessageBox::clipboardText() const {
    QStringList captions;
    for (QAbstractButton* button : buttons()) captions << button->text();
    return boxClipboardText(windowTitle(), fullText_, captions);
}

void CopyingMessageBox::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Copy)) {
        QApplication::beep();
        QGuiApplication::clipboard()->setText(clipboardText());
        event->accept();
        return;
    }
    // Pressed at once rather than animated, so the answer is in before the box closes.
    const bool plainKey = (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) == 0;
    if (QAbstractButton* button = plainKey ? buttonForMnemonic(buttons(), event->key()) : nullptr) {
        event->accept();
        button->click();
        return;
    }
    QMessageBox::keyPressEvent(event);
}

}  // namespace quill
