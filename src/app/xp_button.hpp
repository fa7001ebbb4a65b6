#pragma once

#include <QPushButton>

namespace quill {

// The flat, rounded button every window of the program uses.
class XpButton : public QPushButton {
    Q_OBJECT
public:
    explicit XpButton(QWidget* parent = nullptr);
    explicit XpButton(const QString& text, QWidget* parent = nullptr);

    QSize sizeHint() const override;
};

}  // namespace quill
