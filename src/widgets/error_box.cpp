#include "widgets/error_box.hpp"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QIcon>
#include <QKeyEvent>

#include "widgets/box_clipboard_text.hpp"

namespace quill {

ErrorBox::ErrorBox(QWidget* owner, const QString& caption, const QString& text)
    : QMessageBox(QMessageBox::Critical, caption, QString(), QMessageBox::Ok, owner), fullText_(text) {
    setObjectName(QStringLiteral("ErrorBox"));
    setTextFormat(Qt::PlainText);
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    setText(shown);
    setWindowModality(Qt::ApplicationModal);
    // The desktop's own box shows a plain "OK", without the style's button icon.
    button(QMessageBox::Ok)->setIcon(QIcon());
}

QString ErrorBox::clipboardText() const {
    QStringList captions;
    for (QAbstractButton* button : buttons()) captions << button->text();
    return boxClipboardText(windowTitle(), fullText_, captions);
}

void ErrorBox::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Copy)) {
        QApplication::beep();
        QGuiApplication::clipboard()->setText(clipboardText());
        event->accept();
        return;
    }
    QMessageBox::keyPressEvent(event);
}

}  // namespace quill
