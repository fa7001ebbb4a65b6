#include "app/xp_button.hpp"

namespace quill {

XpButton::XpButton(QWidget* parent) : XpButton(QString(), parent) {}

XpButton::XpButton(const QString& text, QWidget* parent) : QPushButton(text, parent) {
    resize(73, 21);
}

QSize XpButton::sizeHint() const { return {73, 21}; }

}  // namespace quill
