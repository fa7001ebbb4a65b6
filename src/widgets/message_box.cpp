#include "widgets/message_box.hpp"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLabel>
#include <QScreen>
#include <QStyle>

#include "widgets/box_clipboard_text.hpp"
#include "widgets/full_list_dialog.hpp"
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

MessageBoxDialog::MessageBoxDialog(QWidget* parent, const QString& text, MessageKind kind, const QString& fullList)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      text_(text),
      icon_(new QLabel(this)),
      label_(new QLabel(this)),
      ok_(new XpButton(QStringLiteral("OK"), this)),
      fullList_(fullList) {
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
    QSize client = layout.client;
    if (!fullList_.isEmpty()) {
        // The list's button stands right of "OK", the pair centred.
        list_ = new XpButton(QStringLiteral("Alle anzeigen …"), this);
        list_->setObjectName(QStringLiteral("Alle_anzeigen"));
        const int gap = layout.button.left() > 0 ? averageCharWidth(fontMetrics()) : 6;
        const int width = std::max(layout.button.width(), fontMetrics().horizontalAdvance(list_->text()) + 16);
        client.setWidth(std::max(client.width(), layout.button.width() + gap + width + 2 * layout.icon.left()));
        const int left = (client.width() - (layout.button.width() + gap + width)) / 2;
        ok_->move(left, layout.button.top());
        list_->setGeometry(left + layout.button.width() + gap, layout.button.top(), width, layout.button.height());
        connect(list_, &QAbstractButton::clicked, this, [this] {
            FullListDialog all(windowTitle(), displayText(fullList_), this);
            all.exec();
        });
    }
    setFixedSize(client);
    if (screen != nullptr) {
        const QRect area = screen->geometry();
        move(area.center() - QPoint(client.width() / 2, client.height() / 2));
    }
    ok_->setFocus();
}

QString MessageBoxDialog::caption() const {
    return windowTitle();
}

QString MessageBoxDialog::clipboardText() const {
    if (list_ != nullptr) return boxClipboardText(caption(), fullList_, {ok_->text(), list_->text()});
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
