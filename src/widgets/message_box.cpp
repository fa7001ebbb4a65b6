#include "widgets/message_box.hpp"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLabel>
#include <QScreen>
#include <QStyle>

#include "widgets/box_clipboard_text.hpp"
#include "widgets/message_box_layout.hpp"
#include "widgets/qt_text.hpp"
#include "widgets/xp_button.hpp"

namespace quill {

namespace {

QString displayText(const QString& text) {
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(u'\r', u'\n');
    return shown;
}

QScreen* screenFor(QWidget* parent) {
    if (parent != nullptr && parent->screen() != nullptr) return parent->screen();
    return QGuiApplication::primaryScreen();
}

}  // namespace

QString messageBoxCaption(MessageKind kind) {
    return kind == MessageKind::Information ? QStringLiteral("Informationen") : QStringLiteral("Fehler");
}

MessageBoxDialog::MessageBoxDialog(QWidget* parent, const QString& text, MessageKind kind)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      text_(text),
      icon_(new QLabel(this)),
      label_(new QLabel(this)),
      ok_(new XpButton(QStringLiteral("OK"), this)) {
    setObjectName(QStringLiteral("MessageBox"));
    setWindowTitle(messageBoxCaption(kind));
    setModal(true);

    const QStyle::StandardPixmap iconKind =
        kind == MessageKind::Information ? QStyle::SP_MessageBoxInformation : QStyle::SP_MessageBoxCritical;
    icon_->setPixmap(style()->standardIcon(iconKind, nullptr, this).pixmap(32, 32));

    label_->setTextFormat(Qt::PlainText);
    label_->setWordWrap(true);
    label_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label_->setText(displayText(text));

    ok_->setDefault(true);
    ok_->setAutoDefault(true);
    connect(ok_, &QAbstractButton::clicked, this, &QDialog::accept);

    QScreen* screen = screenFor(parent);
    const int screenWidth = screen != nullptr ? screen->geometry().width() : 1024;
    const MessageBoxLayout layout = layoutMessageBox(fontMetrics(), displayText(text), ok_->text(), screenWidth);
    icon_->setGeometry(layout.icon);
    label_->setGeometry(layout.text);
    ok_->setGeometry(layout.button);
    setFixedSize(layout.client);
    if (screen != nullptr) {
        const QRect area = screen->geometry();
        move(area.center() - QPoint(layout.client.width() / 2, layout.client.height() / 2));
    }
    ok_->setFocus();
}

QString MessageBoxDialog::caption() const {
    return windowTitle();
}

QString MessageBoxDialog::clipboardText() const {
    return boxClipboardText(caption(), text_, {ok_->text()});
}

void MessageBoxDialog::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Copy)) {
        QApplication::beep();
        QGuiApplication::clipboard()->setText(clipboardText());
        event->accept();
        return;
    }
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Escape:
            event->accept();
            ok_->click();
            return;
        default:
            QDialog::keyPressEvent(event);
    }
}

void ShowMessageBox(QWidget* parent, std::string_view text, MessageKind kind) {
    desktop().showMessageBox(parent, fromCp1252(text), kind);
}

}  // namespace quill
