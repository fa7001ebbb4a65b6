#include "widgets/xp_button.hpp"

#include <QKeyEvent>
#include <QPainter>

namespace quill {

namespace {
constexpr QSize kDefaultSize(73, 21);
}

XpButton::XpButton(QWidget* parent) : XpButton(QString(), parent) {}

XpButton::XpButton(const QString& text, QWidget* parent) : QPushButton(text, parent) {
    resize(kDefaultSize);
    setAttribute(Qt::WA_Hover);
}

QSize XpButton::sizeHint() const {
    return kDefaultSize;
}

QSize XpButton::minimumSizeHint() const {
    return kDefaultSize;
}

XpButtonState XpButton::state() const {
    return XpButtonState{.enabled = isEnabled(), .hovered = hovered_, .focused = hasFocus(), .pressed = isDown()};
}

void XpButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    paintXpButton(painter, rect(), state(), text(), font());
}

void XpButton::enterEvent(QEnterEvent* event) {
    hovered_ = true;
    update();
    QPushButton::enterEvent(event);
}

void XpButton::leaveEvent(QEvent* event) {
    hovered_ = false;
    update();
    QPushButton::leaveEvent(event);
}

void XpButton::keyPressEvent(QKeyEvent* event) {
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        event->accept();
        click();
        return;
    }
    QPushButton::keyPressEvent(event);
}

}  // namespace quill
