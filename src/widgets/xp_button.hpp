#pragma once

#include <QPushButton>

#include "widgets/xp_button_painter.hpp"

namespace quill {

// The flat, rounded button every window of the program uses. It paints
// itself completely (no focus rectangle) and clicks on Enter when focused.
class XpButton : public QPushButton {
    Q_OBJECT
public:
    explicit XpButton(QWidget* parent = nullptr);
    explicit XpButton(const QString& text, QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    // The state the next paint shows.
    XpButtonState state() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool hovered_ = false;
};

}  // namespace quill
